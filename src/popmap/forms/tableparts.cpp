#include "popmap/forms/tableparts.h"

#include <algorithm>

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidgetItem>

#include "shell/fonts.h"
#include "shell/grid.h"
#include "shell/messages.h"

namespace davrenta {

void SymbolColumn(Grid* grid, int col) {
    const QFont font = MapFont();
    const QFontMetrics metrics(font);
    const int column = col - grid->fixedCols();
    int widest = 0;
    for (int r = 0; r < grid->rowCount(); ++r)
        if (QTableWidgetItem* item = grid->item(r, column)) {
            item->setFont(font);
            widest = std::max(widest, metrics.horizontalAdvance(item->text()));
        }
    WidenColumn(grid, col, widest + metrics.horizontalAdvance(QStringLiteral("MM")));
}

void UseTheRoom(Grid* grid) {
    grid->horizontalHeader()->setStretchLastSection(true);
}

void SymbolBox(QLineEdit* box) {
    box->setFont(MapFont());
}

namespace {

// Gives the text of every message box polished while it lives the map font.
class MapFontMessages : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Polish)
            if (auto* box = qobject_cast<QMessageBox*>(watched))
                if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
                    label->setFont(MapFont());
        return false;
    }
};

} // namespace

void ShowSymbolsMessage(QWidget* parent, const QString& text) {
    MapFontMessages fonts;
    qApp->installEventFilter(&fonts);
    ShowMessage(parent, text);
    qApp->removeEventFilter(&fonts);
}

} // namespace davrenta
