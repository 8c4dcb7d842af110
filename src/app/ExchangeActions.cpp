#include "app/ExchangeActions.h"

#include "app/ExportDialog.h"
#include "app/ReportDialog.h"
#include "common/Version.h"
#include "gedcom/GedcomExporter.h"
#include "store/Backup.h"
#include "ui/AppContext.h"
#include "ui/Toolkit.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace radici {

namespace {

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString BesideDatabase(const AppContext& context, const QString& name) {
    return QFileInfo(context.databasePath).absoluteDir().filePath(name);
}

// The file to write, or an empty text when the user cancelled or would not replace it.
QString AskFileToWrite(AppContext& context, QWidget* parent, const QString& caption,
                       const QString& suggestedPath, const QString& filter) {
    const QString path = context.toolkit.askFileToWrite(parent, caption, suggestedPath, filter);
    if (path.isEmpty() || !QFileInfo::exists(path)) return path;
    const bool replace = context.toolkit.confirm(
        parent, QStringLiteral("Il file \"%1\" esiste già.\rSostituirlo?").arg(Shown(path)));
    return replace ? path : QString();
}

// A short message when everything was written as it is; else the whole list, in a window that
// holds any number of lines.
void ShowExportReport(AppContext& context, QWidget* parent, const ExportReport& report,
                      const QString& path) {
    const QStringList lines{DescribeExport(report), QStringLiteral("File: %1").arg(Shown(path))};
    if (report.problems.isEmpty()) return context.toolkit.inform(parent, lines.join(u'\r'));
    ReportDialog window(
        context.toolkit,
        {QStringLiteral("resocontoEsportazione"), QStringLiteral("Esporta GEDCOM"),
         lines.join(u'\n') + QStringLiteral("\nDati del database che non si potevano esportare "
                                            "così come sono (%1):")
                                 .arg(report.problems.size()),
         report.problems, QString()},
        parent);
    context.toolkit.showModal(window);
}

}  // namespace

void ExportGedcomInteractively(AppContext& context, QWidget* parent) {
    ExportDialog options(parent);
    context.toolkit.showModal(options);
    if (options.result() != QDialog::Accepted) return;
    const QString path = AskFileToWrite(context, parent, QStringLiteral("Esporta GEDCOM"),
                                        BesideDatabase(context, QStringLiteral("radici.ged")),
                                        QStringLiteral("File GEDCOM (*.ged)"));
    if (path.isEmpty()) return;

    QProgressDialog progress(QStringLiteral("Esportazione dell'albero in corso..."),
                             QStringLiteral("Annulla"), 0, 0, parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ProgressDelayMilliseconds);
    const ExportOptions exportOptions{ProgramVersion(), options.privateMode()};
    const Result<ExportReport> report =
        GedcomExporter(context.connection, exportOptions)
            .exportToFile(path, [&progress](std::int64_t done, std::int64_t total) {
                progress.setMaximum(static_cast<int>(total));
                progress.setValue(static_cast<int>(std::min(done, total)));
                return !progress.wasCanceled();
            });
    progress.reset();
    if (report.ok()) {
        ShowExportReport(context, parent, report.value(), path);
    } else {
        context.toolkit.inform(parent, report.status().description());
    }
}

void MakeBackupInteractively(AppContext& context, QWidget* parent) {
    const QString name =
        QStringLiteral("radicidb-%1.mdb").arg(QDate::currentDate().toString(Qt::ISODate));
    const QString path =
        AskFileToWrite(context, parent, QStringLiteral("Copia di sicurezza"),
                       BesideDatabase(context, name), QStringLiteral("Database di Radici (*.mdb)"));
    if (path.isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Status copied = BackupDatabase(*context.connection.database(), path,
                                         DatabaseConnection::Password, ExistingCopy::Replace);
    QApplication::restoreOverrideCursor();
    context.toolkit.inform(parent, copied.ok()
                                       ? QStringLiteral("Copia di sicurezza scritta in \"%1\" e "
                                                        "controllata: è integra.")
                                             .arg(Shown(path))
                                       : copied.description());
}

}  // namespace radici
