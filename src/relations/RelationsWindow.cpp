#include "relations/RelationsWindow.h"

#include "registry/RegistryWindow.h"
#include "ui/AppContext.h"
#include "ui/Icons.h"
#include "ui/Toolkit.h"
#include "ui/TypedText.h"
#include "ui_RelationsWindow.h"

#include <QButtonGroup>
#include <QListWidget>
#include <QShowEvent>
#include <QSignalBlocker>
#include <algorithm>
#include <array>
#include <utility>

namespace radici {
namespace {

// The columns of a row, in the order of the lists of each group and of the labels of a row.
constexpr std::array<QString RelativeRow::*, 5> Columns = {&RelativeRow::key, &RelativeRow::surname,
                                                           &RelativeRow::givenName,
                                                           &RelativeRow::date, &RelativeRow::type};

int SelectedRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.first());
}

// Changes only the entries that differ, so that the selection and the scrolling stay.
void ShowTexts(QListWidget& list, const QStringList& texts) {
    const QSignalBlocker blocker(&list);
    const int kept = std::min(list.count(), static_cast<int>(texts.size()));
    for (int row = 0; row < kept; ++row) {
        if (list.item(row)->text() != texts[row]) list.item(row)->setText(texts[row]);
    }
    if (list.count() > kept) {
        list.model()->removeRows(kept, list.count() - kept);
    } else {
        list.addItems(texts.mid(kept));
    }
}

void ShowRows(const std::vector<QListWidget*>& group, const std::vector<RelativeRow>& rows) {
    for (std::size_t column = 0; column < group.size(); ++column) {
        QStringList texts;
        texts.reserve(static_cast<qsizetype>(rows.size()));
        for (const RelativeRow& row : rows) texts.append(row.*Columns[column]);
        ShowTexts(*group[column], texts);
    }
}

void ShowCaptions(const std::vector<QLabel*>& labels, const RelativeRow& row) {
    for (std::size_t column = 0; column < labels.size(); ++column) {
        labels[column]->setText(row.*Columns[column]);
    }
}

}  // namespace

// The form's controls by their role; the form keeps its own object names.
struct RelationsWindow::Controls {
    explicit Controls(const Ui::RelationsWindow& ui)
        : shownKey(ui.Label20),
          surname(ui.Label24),
          givenName(ui.Label25),
          birthDate(ui.Label28),
          birthPlace(ui.Label26),
          birthCountry(ui.Label27),
          deathDate(ui.Label31),
          deathPlace(ui.Label29),
          deathCountry(ui.Label30),
          father{ui.Label16, ui.Label12, ui.Label10, ui.Label17},
          mother{ui.Label19, ui.Label32, ui.Label33, ui.Label18},
          spouseCandidate{ui.Label13, ui.Label22, ui.Label23},
          marriageDate(ui.Text9),
          choosePerson(ui.Command6),
          chooseFather(ui.Command1),
          chooseMother(ui.Command2),
          chooseSpouse(ui.Command3),
          addMarriage(ui.Command10),
          removeMarriage(ui.Command11),
          addChild(ui.Command9),
          importChildren(ui.Command12),
          removeChild(ui.Command7),
          save(ui.Command4),
          deletePerson(ui.Command5),
          clear(ui.Command8),
          relationFrames{ui.Frame3, ui.Frame4, ui.Frame5, ui.Frame6} {}

    QLabel* shownKey;
    QLabel* surname;
    QLabel* givenName;
    QLabel* birthDate;
    QLabel* birthPlace;
    QLabel* birthCountry;
    QLabel* deathDate;
    QLabel* deathPlace;
    QLabel* deathCountry;
    std::vector<QLabel*> father;           // key, surname, given name, birth date
    std::vector<QLabel*> mother;           // the same columns
    std::vector<QLabel*> spouseCandidate;  // key, surname, given name
    QLineEdit* marriageDate;
    QPushButton* choosePerson;
    QPushButton* chooseFather;
    QPushButton* chooseMother;
    QPushButton* chooseSpouse;
    QPushButton* addMarriage;
    QPushButton* removeMarriage;
    QPushButton* addChild;
    QPushButton* importChildren;
    QPushButton* removeChild;
    QPushButton* save;
    QPushButton* deletePerson;
    QPushButton* clear;
    std::vector<QWidget*> relationFrames;
};

RelationsWindow::RelationsWindow(AppContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      ui_(std::make_unique<Ui::RelationsWindow>()),
      editor_(context.connection, {[this](const QString& text) {
                                       // The window shows what the editor holds when the message
                                       // comes.
                                       showFamily();
                                       context_.toolkit.inform(this, text);
                                   },
                                   [this](const QStringList& lines) {
                                       showFamily();
                                       return context_.toolkit.confirm(this, MessageLines(lines));
                                   }}) {
    ui_->setupUi(this);
    controls_ = std::make_unique<Controls>(*ui_);
    KeepTypedTextWhole(*this);
    controls_->choosePerson->setIcon(ChoosePersonIcon());
    controls_->choosePerson->setToolTip(QStringLiteral("Scegli la persona da mostrare"));
    ui_->sesso->setId(ui_->sesso_0, Male);
    ui_->sesso->setId(ui_->sesso_1, Female);
    marriageLists_ = {ui_->List1, ui_->List2, ui_->List3, ui_->List7};
    childLists_ = {ui_->List4, ui_->List5, ui_->List6, ui_->List8};
    siblingLists_ = {ui_->List12, ui_->List11, ui_->List10, ui_->List9, ui_->List13};
    // One line each: the lists need not measure every row of a large family.
    for (const ListGroup* group : {&marriageLists_, &childLists_, &siblingLists_}) {
        for (QListWidget* list : *group) {
            list->setUniformItemSizes(true);
        }
    }
    connectControls();
    resetForOpening();
}

RelationsWindow::~RelationsWindow() = default;

void RelationsWindow::connectControls() {
    const Controls& c = *controls_;
    connect(c.choosePerson, &QPushButton::clicked, this, &RelationsWindow::choosePerson);
    connect(c.chooseFather, &QPushButton::clicked, this, [this] { chooseParent(Parent::Father); });
    connect(c.chooseMother, &QPushButton::clicked, this, [this] { chooseParent(Parent::Mother); });
    connect(c.chooseSpouse, &QPushButton::clicked, this, &RelationsWindow::chooseSpouseCandidate);
    connect(c.addMarriage, &QPushButton::clicked, this, &RelationsWindow::AddMarriageRow);
    connect(c.removeMarriage, &QPushButton::clicked, this, &RelationsWindow::RemoveMarriage);
    connect(c.addChild, &QPushButton::clicked, this, &RelationsWindow::AddChild);
    connect(c.importChildren, &QPushButton::clicked, this, &RelationsWindow::ImportChildren);
    connect(c.removeChild, &QPushButton::clicked, this, &RelationsWindow::RemoveChild);
    connect(c.save, &QPushButton::clicked, this, &RelationsWindow::SaveRelations);
    connect(c.deletePerson, &QPushButton::clicked, this, &RelationsWindow::DeletePersonCascade);
    connect(c.clear, &QPushButton::clicked, this, &RelationsWindow::ClearRelationsWindow);
    // Selected from code or by a click alike.
    connect(ui_->sesso, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            editor_.setSex(static_cast<SexCode>(id));
        }
    });
    for (const ListGroup* group : {&marriageLists_, &childLists_, &siblingLists_}) {
        for (QListWidget* list : *group) {
            connect(list, &QListWidget::itemSelectionChanged, this,
                    [this, group, list] { SyncListSelection(*group, SelectedRow(*list)); });
        }
    }
}

// Each opening shows a fresh window: nobody shown, no candidate, no date, no sex selected.
// PersonSex keeps its value until a person is loaded or an option is clicked.
void RelationsWindow::resetForOpening() {
    editor_.resetForOpening();
    controls_->marriageDate->clear();
    showSex(std::nullopt);
    showFamily();
}

void RelationsWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        resetForOpening();
    }
    QDialog::showEvent(event);
}

// A sex not known, or a code other than 0 and 1, selects neither option.
void RelationsWindow::showSex(const std::optional<SexCode>& sex) {
    if (IsKnownSex(sex)) {
        ui_->sesso->button(static_cast<int>(*sex))->setChecked(true);
        return;
    }
    const QSignalBlocker blocker(ui_->sesso);
    ui_->sesso->setExclusive(false);
    ui_->sesso_0->setChecked(false);
    ui_->sesso_1->setChecked(false);
    ui_->sesso->setExclusive(true);
}

void RelationsWindow::setIdCaption(const QString& key) {
    controls_->shownKey->setText(key);
    // Not trimmed: a caption of blanks still counts as a person shown.
    const bool showing = !key.isEmpty();
    for (QWidget* frame : controls_->relationFrames) {
        frame->setEnabled(showing);
    }
}

void RelationsWindow::showFamily() {
    const Controls& c = *controls_;
    const ShownPerson& person = editor_.person();
    setIdCaption(person.key);
    const std::pair<QLabel*, const QString*> captions[] = {
        {c.surname, &person.surname},           {c.givenName, &person.givenName},
        {c.birthDate, &person.birthDate},       {c.birthPlace, &person.birthPlace},
        {c.birthCountry, &person.birthCountry}, {c.deathDate, &person.deathDate},
        {c.deathPlace, &person.deathPlace},     {c.deathCountry, &person.deathCountry}};
    for (const auto& [label, text] : captions) {
        label->setText(*text);
    }
    ShowCaptions(c.father, editor_.parent(Parent::Father).value_or(RelativeRow{}));
    ShowCaptions(c.mother, editor_.parent(Parent::Mother).value_or(RelativeRow{}));
    ShowCaptions(c.spouseCandidate, editor_.spouseCandidate());
    ShowRows(marriageLists_, editor_.marriages());
    ShowRows(childLists_, editor_.children());
    ShowRows(siblingLists_, editor_.siblings());
}

void RelationsWindow::ClearRelationsWindow() {
    editor_.ClearRelationsWindow();
    showFamily();
}

void RelationsWindow::choosePerson() {
    const QString key = PickFromRegistry(context_, this);
    // Without a person loaded the relatives would be those of whoever was shown before.
    if (!key.isEmpty() && LoadPerson(key)) {
        LoadRelatives();
    }
}

bool RelationsWindow::LoadPerson(const QString& key) {
    if (!editor_.LoadPerson(key)) {
        return false;
    }
    // Filled afresh rather than compared with the person shown before.
    for (const ListGroup* group : {&marriageLists_, &childLists_, &siblingLists_}) {
        for (QListWidget* list : *group) {
            const QSignalBlocker blocker(list);
            list->clear();
        }
    }
    showSex(editor_.sex());
    showFamily();
    return true;
}

void RelationsWindow::LoadRelatives() {
    editor_.LoadRelatives();
    showFamily();
}

void RelationsWindow::chooseParent(Parent parent) {
    const QString key = PickFromRegistry(context_, this);
    // The person shown is never their own parent.
    if (!key.isEmpty() && editor_.acceptsRelative(key)) {
        parent == Parent::Father ? editor_.LoadFather(key) : editor_.LoadMother(key);
        showFamily();
    }
}

void RelationsWindow::chooseSpouseCandidate() {
    if (const QString key = PickFromRegistry(context_, this); !key.isEmpty()) {
        editor_.LoadSpouseCandidate(key);
        showFamily();
    }
}

void RelationsWindow::SyncListSelection(const ListGroup& group, int row) {
    for (QListWidget* list : group) {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(row);
    }
}

void RelationsWindow::AddMarriageRow() {
    editor_.AddMarriageRow(controls_->marriageDate->text());
    showFamily();
}

void RelationsWindow::RemoveMarriage() {
    removeSelectedRow(marriageLists_, &RelationsEditor::RemoveMarriage);
}

void RelationsWindow::RemoveChild() {
    removeSelectedRow(childLists_, &RelationsEditor::RemoveChild);
}

void RelationsWindow::removeSelectedRow(const ListGroup& group,
                                        void (RelationsEditor::*remove)(int)) {
    QListWidget& keys = *group.front();
    const int rows = keys.count();
    (editor_.*remove)(SelectedRow(keys));
    showFamily();
    if (keys.count() != rows) {
        SyncListSelection(group, -1);
    }
}

void RelationsWindow::AddChild() {
    editor_.AddChild(PickFromRegistry(context_, this));
    showFamily();
}

void RelationsWindow::ImportChildren() {
    editor_.ImportChildren(PickFromRegistry(context_, this));
    showFamily();
}

void RelationsWindow::SaveRelations() {
    editor_.SaveRelations();
    showFamily();
}

void RelationsWindow::DeletePersonCascade() {
    editor_.DeletePersonCascade();
    showFamily();
}

}  // namespace radici
