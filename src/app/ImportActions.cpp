#include "app/ImportActions.h"

#include "app/ReportDialog.h"
#include "gedcom/GedcomImporter.h"
#include "gedcom/GedcomReader.h"
#include "ui/AppContext.h"
#include "ui/Toolkit.h"

#include <QFileInfo>
#include <QProgressDialog>

namespace radici {
namespace {

constexpr int ProgressSteps = 1000;

QString PhaseText(ImportProgress::Phase phase) {
    switch (phase) {
        case ImportProgress::Phase::Reading:
            return QStringLiteral("Lettura del file GEDCOM in corso...");
        case ImportProgress::Phase::Linking:
            return QStringLiteral("Collegamento di famiglie e figli in corso...");
        case ImportProgress::Phase::Writing:
            return QStringLiteral("Scrittura nel database in corso...");
        case ImportProgress::Phase::Indexing:
            return QStringLiteral("Costruzione degli indici del database in corso...");
        case ImportProgress::Phase::Committing:
            return QStringLiteral("Salvataggio definitivo del database in corso...");
    }
    return {};
}

// Follows the import on a progress dialog, naming its phase; its "Annulla" cancels.
class ImportProgressDialog {
public:
    ImportProgressDialog(QWidget* parent, ImportProgress::Phase first)
        : dialog_(PhaseText(first), QStringLiteral("Annulla"), 0, ProgressSteps, parent),
          phase_(first) {
        dialog_.setWindowModality(Qt::WindowModal);
        // Each phase runs from 0 to the end; the dialog stays until the last one is over.
        dialog_.setAutoReset(false);
        dialog_.setMinimumDuration(ProgressDelayMilliseconds);
        dialog_.setValue(0);
    }

    ImportProgressCallback callback() {
        return [this](const ImportProgress& progress) {
            if (progress.phase != phase_) {
                phase_ = progress.phase;
                dialog_.setLabelText(PhaseText(phase_));
            }
            const qint64 total = std::max<qint64>(progress.total, 1);
            dialog_.setValue(
                static_cast<int>(std::min(progress.done, total) * ProgressSteps / total));
            return !dialog_.wasCanceled();
        };
    }

private:
    QProgressDialog dialog_;
    ImportProgress::Phase phase_;
};

// Tells the user what went wrong; a cancellation needs no message, the user asked for it.
void ReportFailure(AppContext& context, QWidget* parent, const Status& failure) {
    if (!failure.is(GedcomError::Cancelled)) context.toolkit.inform(parent, failure.description());
}

}  // namespace

void ImportGedcomInteractively(AppContext& context, QWidget* parent) {
    const QString path = context.toolkit.askFileToRead(
        parent, QStringLiteral("Importa GEDCOM"), QFileInfo(context.databasePath).absolutePath(),
        QStringLiteral("File GEDCOM (*.ged *.GED)"));
    if (path.isEmpty()) return;
    Result<ImportPlan> plan = [&] {
        ImportProgressDialog progress(parent, ImportProgress::Phase::Reading);
        return PlanImport(path, context.connection, progress.callback());
    }();
    if (!plan.ok()) return ReportFailure(context, parent, plan.status());

    ReportDialog confirmation(
        context.toolkit,
        {QStringLiteral("resocontoImportazione"), QStringLiteral("Importa GEDCOM"),
         QStringLiteral("Ecco che cosa farebbe l'importazione. Il database non cambia finché non "
                        "scegli \"Importa\"."),
         plan.value().report().lines(), QStringLiteral("Importa")},
        parent);
    context.toolkit.showModal(confirmation);
    if (confirmation.result() != QDialog::Accepted) return;

    const Result<ImportReport> written = [&] {
        ImportProgressDialog progress(parent, ImportProgress::Phase::Writing);
        return WriteImport(plan.value(), context.connection, progress.callback());
    }();
    if (!written.ok()) return ReportFailure(context, parent, written.status());
    // The counts: the lists were in the report the user has just read.
    context.toolkit.inform(parent, written.value().summary().join(u'\r'));
}

}  // namespace radici
