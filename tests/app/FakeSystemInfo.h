#pragma once

#include "app/SystemInfo.h"

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

}  // namespace radici
