#include "RelationsHarness.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace radici {

RelationsHarness::RelationsHarness() : context(toolkit, db.path()), window(context) {
    const Status opened = context.connection.open(db.path());
    if (!opened.ok()) {
        QTest::qFail(qPrintable(opened.description()), __FILE__, __LINE__);
    }
    window.show();
}

void RelationsHarness::chooseNext(const QString& surname) {
    toolkit.onNextModal(ChooseInRegistry(surname));
}

void RelationsHarness::chooseVanishing(const QString& surname, const QString& key) {
    toolkit.onNextModal([this, surname, key](QDialog& registry) {
        ChooseInRegistry(surname)(registry);
        db.execute(QStringLiteral("delete from anagrafica where idrecord = '%1'").arg(key));
    });
}

void RelationsHarness::cancelNext() { toolkit.onNextModal(CancelRegistry()); }

void RelationsHarness::show(const QString& surname) {
    chooseNext(surname);
    click(QStringLiteral("Command6"));
}

void RelationsHarness::click(const QString& buttonName) {
    auto* button = control<QAbstractButton>(buttonName);
    if (button == nullptr) {
        QTest::qFail(qPrintable(QStringLiteral("no button %1").arg(buttonName)), __FILE__,
                     __LINE__);
        return;
    }
    // Near the left edge: a radio button wider than its text ignores a click in its centre.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
}

void RelationsHarness::clickRow(const QString& listName, int row) {
    auto* list = control<QListWidget>(listName);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

void RelationsHarness::typeDate(const QString& text) {
    auto* box = control<QLineEdit>(QStringLiteral("Text9"));
    box->clear();
    QTest::keyClicks(box, text);
}

QStringList RelationsHarness::column(const QString& listName) const {
    QStringList texts;
    const auto* list = control<QListWidget>(listName);
    for (int row = 0; row < list->count(); ++row) {
        texts.append(list->item(row)->text());
    }
    return texts;
}

QStringList RelationsHarness::selectedRows(const QStringList& listNames) const {
    QStringList rows;
    for (const QString& name : listNames) {
        const QList<QListWidgetItem*> selected = control<QListWidget>(name)->selectedItems();
        rows.append(selected.isEmpty()
                        ? QStringLiteral("-")
                        : QString::number(control<QListWidget>(name)->row(selected.first())));
    }
    return rows;
}

QString RelationsHarness::caption(const QString& labelName) const {
    return control<QLabel>(labelName)->text();
}

bool RelationsHarness::framesEnabled() const {
    const bool first = control<QGroupBox>(QStringLiteral("Frame3"))->isEnabled();
    for (const char* name : {"Frame4", "Frame5", "Frame6"}) {
        if (control<QGroupBox>(QString::fromLatin1(name))->isEnabled() != first) {
            QTest::qFail("the relation frames differ in their enabled state", __FILE__, __LINE__);
        }
    }
    return first;
}

}  // namespace radici
