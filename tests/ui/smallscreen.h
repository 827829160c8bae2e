#pragma once

// Whether a window is readable as it stands: it fits the screen's available area, and no label,
// box, button or table cell it shows is cut short. Window tests run it on every window of a
// study at twice the scale on the offscreen platform's 800 x 600 screen (400 x 300 to lay out
// in), as ModalDriver::check("on the screen, every text whole", WholeOnScreen).

#include <QAbstractButton>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QString>
#include <QTableWidget>
#include <QWidget>

namespace davrenta::testing {

inline QString NameOf(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

// A label shows its whole text when it is as wide as its smallest size allows and, wrapped,
// as tall as its text needs at its width.
inline bool LabelWhole(const QLabel* label, QString* why) {
    if (label->text().isEmpty() || !label->pixmap().isNull())
        return true;
    const QSize least = label->minimumSizeHint();
    const bool narrow = !label->wordWrap() && label->width() < least.width();
    const int needed = label->wordWrap() ? label->heightForWidth(label->width()) : least.height();
    if (narrow || label->height() < needed) {
        *why = NameOf(label) + QStringLiteral(" \"") + label->text().left(40) +
               QStringLiteral("\" cut short");
        return false;
    }
    return true;
}

inline bool BoxWhole(const QLineEdit* box, QString* why) {
    const QFontMetrics fm(box->font());
    if (box->width() < fm.horizontalAdvance(box->text()) || box->height() < fm.height()) {
        *why = NameOf(box) + QStringLiteral(" \"") + box->text() + QStringLiteral("\" cut short");
        return false;
    }
    return true;
}

inline bool ButtonWhole(const QAbstractButton* button, QString* why) {
    QString caption = button->text();
    caption.remove(QLatin1Char('&'));
    const QFontMetrics fm(button->font());
    if (button->width() < fm.horizontalAdvance(caption) || button->height() < fm.height()) {
        *why = NameOf(button) + QStringLiteral(" \"") + caption + QStringLiteral("\" cut short");
        return false;
    }
    return true;
}

// Every cell of a table with a text is wide and tall enough for it; a heading section too.
inline bool TableWhole(const QTableWidget* table, QString* why) {
    for (int r = 0; r < table->rowCount(); ++r) {
        if (table->isRowHidden(r))
            continue;
        for (int c = 0; c < table->columnCount(); ++c) {
            if (table->isColumnHidden(c))
                continue;
            const QTableWidgetItem* item = table->item(r, c);
            if (!item || item->text().isEmpty())
                continue;
            const QFontMetrics fm(item->font());
            if (table->columnWidth(c) < fm.horizontalAdvance(item->text()) ||
                table->rowHeight(r) < fm.height()) {
                *why = NameOf(table) + QStringLiteral(" cell (%1, %2) \"").arg(r).arg(c) +
                       item->text() + QStringLiteral("\" cut short");
                return false;
            }
        }
    }
    for (int c = 0; c < table->columnCount(); ++c) {
        const QTableWidgetItem* head = table->horizontalHeaderItem(c);
        if (!head || head->text().isEmpty() || table->horizontalHeader()->isHidden())
            continue;
        const QFontMetrics fm(table->horizontalHeader()->font());
        if (table->columnWidth(c) < fm.horizontalAdvance(head->text())) {
            *why = NameOf(table) + QStringLiteral(" heading \"") + head->text() +
                   QStringLiteral("\" cut short");
            return false;
        }
    }
    return true;
}

inline bool WholeOnScreen(QWidget* window, QString* why) {
    const QRect area = window->screen()->availableGeometry();
    if (window->frameGeometry().width() > area.width() ||
        window->frameGeometry().height() > area.height()) {
        *why = NameOf(window) + QStringLiteral(" larger than the screen (%1 x %2 on %3 x %4)")
                                    .arg(window->frameGeometry().width())
                                    .arg(window->frameGeometry().height())
                                    .arg(area.width())
                                    .arg(area.height());
        return false;
    }
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (label->isVisibleTo(window) && !LabelWhole(label, why))
            return false;
    for (const QLineEdit* box : window->findChildren<QLineEdit*>())
        if (box->isVisibleTo(window) && !BoxWhole(box, why))
            return false;
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (button->isVisibleTo(window) && !button->text().isEmpty() && !ButtonWhole(button, why))
            return false;
    for (const QTableWidget* table : window->findChildren<QTableWidget*>())
        if (table->isVisibleTo(window) && !TableWhole(table, why))
            return false;
    return true;
}

} // namespace davrenta::testing
