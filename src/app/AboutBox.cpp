#include "app/AboutBox.h"

#include "app/SystemInfo.h"
#include "common/Version.h"
#include "ui/Toolkit.h"
#include "ui_AboutBox.h"

#include <QApplication>
#include <QStyle>

namespace radici {

namespace {

const QString SystemInfoUnavailable =
    QStringLiteral("Le informazioni sul sistema non sono attualmente disponibili.");

constexpr int IconSide = 32;

QIcon ApplicationIcon(const QStyle& style) {
    const QIcon icon = QApplication::windowIcon();
    return icon.isNull() ? style.standardIcon(QStyle::SP_ComputerIcon) : icon;
}

}  // namespace

AboutBox::AboutBox(Toolkit& toolkit, SystemInfoPlatform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::AboutBox>()),
      toolkit_(toolkit),
      platform_(platform) {
    ui_->setupUi(this);
    setFixedSize(size());
    connect(ui_->cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cmdSysInfo, &QPushButton::clicked, this, &AboutBox::StartSysInfo);
}

AboutBox::~AboutBox() = default;

void AboutBox::showEvent(QShowEvent* event) {
    load();
    QDialog::showEvent(event);
}

// Runs at every showing, so the texts always come from the title and version.
void AboutBox::load() {
    setWindowTitle(QStringLiteral("Informazioni su ") + ApplicationTitle);
    ui_->lblVersion->setText(QStringLiteral("Versione ") + ProgramVersion());
    ui_->lblTitle->setText(ApplicationTitle);
    ui_->picIcon->setPixmap(ApplicationIcon(*style()).pixmap(IconSide, IconSide));
}

void AboutBox::StartSysInfo() {
    const std::optional<QString> program = LocateSystemInfo(platform_);
    if (!program || !platform_.startProcess(*program)) toolkit_.inform(this, SystemInfoUnavailable);
}

}  // namespace radici
