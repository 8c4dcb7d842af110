#pragma once

#include "ChartFamily.h"

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class ChartWindow;
}

namespace radici {

struct AppContext;

// The chart window "Albero di NOME COGNOME": the ancestors or the descendants of one person, to
// look at, print and export. Not modal: it can stay open beside the other windows.
class ChartWindow : public QDialog {
    Q_OBJECT
public:
    explicit ChartWindow(AppContext& context, QWidget* parent = nullptr);
    ~ChartWindow() override;

    // Shows the window with the chart of the person, in the view last chosen.
    void showPerson(const QString& key);

private:
    void chooseKind(ChartKind kind);
    void setGenerations(int generations);
    void reload();
    void print();
    void exportChart();
    int& generations() { return kind_ == ChartKind::Ancestors ? ancestors_ : descendants_; }

    AppContext& context_;
    std::unique_ptr<Ui::ChartWindow> ui_;
    QString key_;
    ChartKind kind_ = ChartKind::Ancestors;
    int ancestors_ = 4;
    int descendants_ = 3;
};

}  // namespace radici
