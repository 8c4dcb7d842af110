#include "app/SystemInfo.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#ifdef Q_OS_WIN
#include <QSettings>
#else
#include <QStandardPaths>
#endif

namespace radici {

namespace {

#ifdef Q_OS_WIN
// A value that does not fit the 1024-character buffer of the original reader counts as unread.
constexpr qsizetype RegistryValueLimit = 1023;

std::optional<QString> ReadRegistryValue(const QString& keyPath, const QString& valueName) {
    const QSettings key(QStringLiteral("HKEY_LOCAL_MACHINE\\") + keyPath, QSettings::NativeFormat);
    if (!key.contains(valueName)) return std::nullopt;
    const QString text = key.value(valueName).toString();
    if (text.size() > RegistryValueLimit) return std::nullopt;
    return text;
}
#else
// Desktop system-information programs, most informative first.
const QStringList SystemInfoPrograms = {
    QStringLiteral("kinfocenter"),
    QStringLiteral("hardinfo2"),
    QStringLiteral("hardinfo"),
    QStringLiteral("gnome-system-monitor"),
    QStringLiteral("mate-system-monitor"),
};

std::optional<QString> FindSystemInfoProgram() {
    for (const QString& name : SystemInfoPrograms) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) return path;
    }
    return std::nullopt;
}
#endif

}  // namespace

// HKEY_LOCAL_MACHINE is the only root there is to read.
std::optional<QString> HostSystemInfo::GetKeyValue(RegistryRoot, const QString& keyPath,
                                                   const QString& valueName) const {
#ifdef Q_OS_WIN
    return ReadRegistryValue(keyPath, valueName);
#else
    if (keyPath != MsinfoKey || valueName != MsinfoPathValue) return std::nullopt;
    return FindSystemInfoProgram();
#endif
}

bool HostSystemInfo::fileExists(const QString& path) const { return QFileInfo(path).isFile(); }

bool HostSystemInfo::startProcess(const QString& path) {
    return !path.isEmpty() && QProcess::startDetached(path, {});
}

std::optional<QString> LocateSystemInfo(const SystemInfoPlatform& platform) {
    if (auto program = platform.GetKeyValue(RegistryRoot::LocalMachine, MsinfoKey, MsinfoPathValue))
        return program;
    const auto folder =
        platform.GetKeyValue(RegistryRoot::LocalMachine, SharedToolsLocationKey, MsinfoFolderValue);
    if (!folder) return std::nullopt;
    const QString program = *folder + MsinfoProgramName;
    if (!platform.fileExists(program)) return std::nullopt;
    return program;
}

}  // namespace radici
