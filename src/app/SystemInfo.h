#pragma once

#include <QString>
#include <optional>

namespace radici {

enum class RegistryRoot { LocalMachine };

// Where Windows records its system-information program: the program itself, or the folder
// that holds MSINFO32.EXE.
inline const QString MsinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString MsinfoPathValue = QStringLiteral("PATH");
inline const QString SharedToolsLocationKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString MsinfoFolderValue = QStringLiteral("MSINFO");
inline const QString MsinfoProgramName = QStringLiteral("\\MSINFO32.EXE");

// What the About box asks of the operating system to start its system-information program.
class SystemInfoPlatform {
public:
    virtual ~SystemInfoPlatform() = default;

    // The text of a registry value; no value when the key or the value cannot be read.
    virtual std::optional<QString> GetKeyValue(RegistryRoot root, const QString& keyPath,
                                               const QString& valueName) const = 0;
    virtual bool fileExists(const QString& path) const = 0;
    // Starts the program without waiting for it; false when it could not be started.
    virtual bool startProcess(const QString& path) = 0;
};

// The real platform. On Windows it reads the registry; elsewhere it answers for the program's
// path with the first system-information program found on the PATH, and for nothing else.
class HostSystemInfo final : public SystemInfoPlatform {
public:
    std::optional<QString> GetKeyValue(RegistryRoot root, const QString& keyPath,
                                       const QString& valueName) const override;
    bool fileExists(const QString& path) const override;
    bool startProcess(const QString& path) override;
};

// The system-information program to start: the registered program, else MSINFO32.EXE in the
// registered folder when it exists there.
std::optional<QString> LocateSystemInfo(const SystemInfoPlatform& platform);

}  // namespace radici
