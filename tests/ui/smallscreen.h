#pragma once

// Whether a window is readable as it stands: it fits the screen's available area, and no label,
// box, button, list, tool button or table cell it shows is cut short, squeezed, pushed out of the
// window or hidden behind a toolbar's overflow button. Window tests run it on every window of a
// study at twice the scale on the offscreen platform's 800 x 600 screen (400 x 300 to lay out
// in), as ModalDriver::check("on the screen, every text whole", WholeOnScreen).
//
// A widget that paints its own texts (a chart, a picture) takes part through a property
// "clippedTexts" (a QStringList): the texts it cannot show whole at its present size.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVariant>
#include <QWidget>

namespace davrenta::testing {

inline QString NameOf(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

inline bool Cut(const QWidget* w, const QString& text, const char* how, QString* why) {
    *why = NameOf(w) + QStringLiteral(" \"") + text.left(40) + QStringLiteral("\" ") +
           QString::fromLatin1(how);
    return false;
}

// A label shows its whole text when it is as wide as its smallest size allows and, wrapped,
// as tall as its text needs at its width.
inline bool LabelWhole(const QLabel* label, QString* why) {
    if (label->text().isEmpty() || !label->pixmap().isNull())
        return true;
    const QSize least = label->minimumSizeHint();
    const bool narrow = !label->wordWrap() && label->width() < least.width();
    const int needed = label->wordWrap() ? label->heightForWidth(label->width()) : least.height();
    if (narrow || label->height() < needed)
        return Cut(label, label->text(), "cut short", why);
    return true;
}

inline bool BoxWhole(const QLineEdit* box, QString* why) {
    const QFontMetrics fm(box->font());
    if (box->width() < fm.horizontalAdvance(box->text()) || box->height() < fm.height())
        return Cut(box, box->text(), "cut short", why);
    return true;
}

inline bool ButtonWhole(const QAbstractButton* button, QString* why) {
    // A tool button that shows its icon only keeps its text for tips and screen readers.
    if (const auto* tool = qobject_cast<const QToolButton*>(button);
        tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
        return true;
    QString caption = button->text();
    caption.remove(QLatin1Char('&'));
    const QFontMetrics fm(button->font());
    if (button->width() < fm.horizontalAdvance(caption) || button->height() < fm.height())
        return Cut(button, caption, "cut short", why);
    return true;
}

// The chosen entry of a drop-down list fits its text field beside the arrow.
inline bool ComboWhole(const QComboBox* combo, QString* why) {
    if (combo->currentText().isEmpty())
        return true;
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.currentText = combo->currentText();
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo);
    const QFontMetrics fm(combo->font());
    if (field.width() < fm.horizontalAdvance(combo->currentText()) || combo->height() < fm.height())
        return Cut(combo, combo->currentText(), "cut short", why);
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

// Whether a widget lies whole inside the window: every parent up to the window shows all of it,
// unless a parent is the viewport of a scroll area, which brings the rest into view.
inline bool InsideParents(const QWidget* w, const QWidget* window, const QString& text,
                          QString* why) {
    const QRect own(w->mapTo(window, QPoint(0, 0)), w->size());
    QRect shown = own;
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        // A scroll area brings its page into view, and keeps headings beside it in place.
        if (qobject_cast<const QAbstractScrollArea*>(p->parentWidget()))
            return true;
        shown &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
        if (p == window)
            break;
    }
    if (shown != own)
        return Cut(w, text, "lies partly outside the window", why);
    return true;
}

// Every action a toolbar holds has its button in view, none behind the overflow button.
inline bool ToolBarWhole(const QToolBar* bar, const QWidget* window, QString* why) {
    for (QAction* action : bar->actions()) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        const QWidget* button = bar->widgetForAction(action);
        if (!button || !button->isVisibleTo(window))
            return Cut(bar, action->text(), "hidden behind the toolbar's overflow button", why);
    }
    return true;
}

inline QString ShownText(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (const auto* box = qobject_cast<const QLineEdit*>(w))
        return box->text();
    if (const auto* tool = qobject_cast<const QToolButton*>(w);
        tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
        return QString();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->currentText();
    return QString();
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
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->window() != window)
            continue;
        const QString text = ShownText(w);
        if (!text.isEmpty() && !InsideParents(w, window, text, why))
            return false;
        if (const auto* label = qobject_cast<const QLabel*>(w); label && !LabelWhole(label, why))
            return false;
        if (const auto* box = qobject_cast<const QLineEdit*>(w); box && !BoxWhole(box, why))
            return false;
        if (const auto* button = qobject_cast<const QAbstractButton*>(w);
            button && !button->text().isEmpty() && !ButtonWhole(button, why))
            return false;
        if (const auto* combo = qobject_cast<const QComboBox*>(w); combo && !ComboWhole(combo, why))
            return false;
        if (const auto* table = qobject_cast<const QTableWidget*>(w);
            table && !TableWhole(table, why))
            return false;
        if (const auto* bar = qobject_cast<const QToolBar*>(w);
            bar && !ToolBarWhole(bar, window, why))
            return false;
        if (const QStringList clipped = w->property("clippedTexts").toStringList();
            !clipped.isEmpty())
            return Cut(w, clipped.front(), "painted cut short", why);
    }
    return true;
}

} // namespace davrenta::testing
