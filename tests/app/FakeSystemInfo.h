#pragma once

#include "ScriptedToolkit.h"
#include "app/MainWindow.h"
#include "app/SystemInfo.h"
#include "ui/AppContext.h"

#include <QAction>
#include <QStringList>
#include <optional>

namespace radici {

// The shared folder C:\Shared is registered, and the program's path when there is one; every
// start is recorded.
class FakeSystemInfo final : public SystemInfoPlatform {
public:
    QString registered;
    QString existing;  // the one file there is
    QStringList started;

    std::optional<QString> GetKeyValue(RegistryRoot, const QString& key,
                                       const QString&) const override {
        if (key == MsinfoKey && !registered.isEmpty()) return registered;
        return key == SharedToolsLocationKey ? std::optional<QString>("C:\\Shared") : std::nullopt;
    }
    bool fileExists(const QString& path) const override { return path == existing; }
    bool startProcess(const QString& path) override {
        started.append(path);
        return true;
    }
};

// The program as main() builds it, with the scripted toolkit, on the file at the path.
struct Program {
    explicit Program(const QString& path) : context(toolkit, path), window(context, platform) {}
    void choose(const char* action) { window.findChild<QAction*>(action)->trigger(); }
    // Chooses "Collegamenti"; true when the relations window was shown.
    bool showRelations() {
        const qsizetype shown = toolkit.modalWindows.size();
        choose("coll");
        return toolkit.modalWindows.size() > shown;
    }

    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    AppContext context;
    MainWindow window;
};

}  // namespace radici
