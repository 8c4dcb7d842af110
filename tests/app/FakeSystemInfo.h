#pragma once

#include "app/SystemInfo.h"

#include <QMap>
#include <QStringList>

namespace radici {

// A registry, file system and process starter that the test sets up and then inspects.
class FakeSystemInfo final : public SystemInfoPlatform {
public:
    QMap<QString, QString> registry;  // "key\value" -> text
    QStringList existingFiles;
    bool startSucceeds = true;

    mutable QStringList testedFiles;
    QStringList started;  // paths whose start was attempted

    std::optional<QString> GetKeyValue(RegistryRoot, const QString& keyPath,
                                       const QString& valueName) const override {
        const auto found = registry.constFind(keyPath + u'\\' + valueName);
        if (found == registry.constEnd()) return std::nullopt;
        return *found;
    }
    bool fileExists(const QString& path) const override {
        testedFiles.append(path);
        return existingFiles.contains(path);
    }
    bool startProcess(const QString& path) override {
        started.append(path);
        return startSucceeds;
    }
};

}  // namespace radici
