#pragma once

#include "app/DatabaseLock.h"
#include "store/Status.h"

#include <QMainWindow>
#include <memory>

namespace Ui {
class MainWindow;
}

namespace radici {

struct AppContext;
class AboutBox;
class ChartWindow;
class KinshipWindow;
class RelationsWindow;
class SystemInfoPlatform;

// The main window (form principale): it opens the database when it is made and closes it when
// it closes; its menu shows the relations window and the About box.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppContext& context, SystemInfoPlatform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OpenDatabaseConnection();
    // True when the database is open, trying again if it was not; otherwise says why not and how
    // to make one.
    bool requireOpenDatabase();
    // Opens the file unless it is open already, and only while no other copy of Radici has it.
    // Whether to take over a lock written on another computer is asked only when the user asked
    // for the tree.
    enum class LockQuestion { Never, Ask };
    Status openUnlessInUse(LockQuestion question);
    Status takeLock(LockQuestion question);
    void showRelations();
    void exportGedcom();
    void importGedcom();
    void makeBackup();
    // The key chosen in the registry window; empty when it was left with "Annulla".
    // Asks for a person in the registry window and shows their chart.
    void showChart();
    // Asks for two persons, one after the other, and shows how they are related.
    void showKinship();
    void showAbout();

    std::unique_ptr<Ui::MainWindow> ui_;
    AppContext& context_;
    SystemInfoPlatform& platform_;
    Status openFailure_;  // why the database did not open; success when it did
    DatabaseLock lock_;   // beside the file, held while the connection is open
    // Each made on first use and reused.
    std::unique_ptr<RelationsWindow> relationsWindow_;
    std::unique_ptr<AboutBox> aboutBox_;
    ChartWindow* chartWindow_ = nullptr;      // owned as a child window
    KinshipWindow* kinshipWindow_ = nullptr;  // owned as a child window
};

}  // namespace radici
