#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class AboutBox;
}

namespace radici {

class SystemInfoPlatform;
class Toolkit;

// The About box (form frmAbout): title, version, author, usage terms, and a button that starts
// the system-information program.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(Toolkit& toolkit, SystemInfoPlatform& platform, QWidget* parent = nullptr);
    ~AboutBox() override;

    // Starts the system-information program, or says that there is none.
    void StartSysInfo();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void load();

    std::unique_ptr<Ui::AboutBox> ui_;
    Toolkit& toolkit_;
    SystemInfoPlatform& platform_;
};

}  // namespace radici
