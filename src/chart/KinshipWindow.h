#pragma once

#include "kinship/KinshipFinder.h"

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class KinshipWindow;
}

namespace radici {

struct AppContext;

// "Parentela tra NOME COGNOME e NOME COGNOME": every relationship between two persons, closest
// first, and the path of the one chosen drawn in chart boxes, to print and export. Not modal.
class KinshipWindow : public QDialog {
    Q_OBJECT
public:
    explicit KinshipWindow(AppContext& context, QWidget* parent = nullptr);
    ~KinshipWindow() override;

    // Looks for the relationships of the two and shows the window with the closest.
    void showPair(const QString& firstKey, const QString& secondKey);

private:
    void showPath(int row);

    AppContext& context_;
    std::unique_ptr<Ui::KinshipWindow> ui_;
    Kinship kinship_;
};

}  // namespace radici
