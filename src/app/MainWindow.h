#pragma once

#include "app/TreeActions.h"

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
class PersonCardWindow;
class RelationsWindow;
class SystemInfoPlatform;

// The main window (form principale): it opens the database when it is made and closes it when
// it closes; its menu shows the relations window and the About box.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppContext& context, SystemInfoPlatform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Closes as the close box does, but makes no automatic copy: the program is being stopped.
    void closeOnSignal();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OpenDatabaseConnection();
    // Runs a menu's tree action, then shows which tree is open.
    void onTree(QAction* item, void (TreeActions::*action)());
    void showOpenFolder();
    // True when a tree is open, or the user has just made or opened one.
    bool requireOpenDatabase();
    // Closes the windows that show the open tree; made again for the next one.
    void closeTreeWindows();
    void showRelations();
    void exportGedcom();
    void importGedcom();
    void makeBackup();
    // Creates and corrects persons of any kind in "Scheda persona".
    void showPersonCard();
    // Asks for a person in the registry window and shows their chart.
    void showChart();
    // Asks for two persons in the registry window and shows how they are related.
    void showKinship();
    void showAbout();

    std::unique_ptr<Ui::MainWindow> ui_;
    AppContext& context_;
    SystemInfoPlatform& platform_;
    TreeActions tree_;
    // Each made on first use and reused.
    std::unique_ptr<RelationsWindow> relationsWindow_;
    std::unique_ptr<PersonCardWindow> personCardWindow_;
    std::unique_ptr<AboutBox> aboutBox_;
    ChartWindow* chartWindow_ = nullptr;      // owned as a child window
    KinshipWindow* kinshipWindow_ = nullptr;  // owned as a child window
    bool automaticCopyOnClose_ = true;
};

}  // namespace radici
