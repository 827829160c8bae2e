#include "shell/exporter.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include <QBoxLayout>
#include <QBuffer>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSvgGenerator>
#include <QTableWidget>

#include "shell/controls.h"
#include "shell/grid.h"
#include "shell/messages.h"
#include "shell/windowkit.h"
#include "state/atomicfile.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

ExportPathChooser& PathChooser() {
    static ExportPathChooser chooser = [](QWidget* parent, const QString& proposed) {
        const QString suffix = QFileInfo(proposed).suffix();
        return QFileDialog::getSaveFileName(
            parent, QStringLiteral("Export"), proposed,
            QStringLiteral("%1 files (*.%2)").arg(suffix.toUpper(), suffix));
    };
    return chooser;
}

// A grid drawn cell by cell at its columns' widths and rows' heights, headings included.
QSize PaintTable(QPainter* painter, const Grid* grid) {
    std::vector<int> widths;
    std::vector<int> heights;
    for (int c = 0; c < grid->cols(); ++c)
        widths.push_back(grid->twipsToPixelsX(grid->colWidth(c)));
    for (int r = 0; r < grid->rows(); ++r)
        heights.push_back(r < grid->fixedRows() ? grid->horizontalHeader()->height()
                                                : grid->rowHeight(r - grid->fixedRows()));
    const QSize size(std::accumulate(widths.begin(), widths.end(), 0),
                     std::accumulate(heights.begin(), heights.end(), 0));
    if (!painter)
        return size;
    painter->setFont(grid->font());
    int y = 0;
    for (int r = 0; r < grid->rows(); ++r) {
        int x = 0;
        for (int c = 0; c < grid->cols(); ++c) {
            const QRect cell(x, y, widths[c], heights[r]);
            x += widths[c];
            const bool heading = r < grid->fixedRows() || c < grid->fixedCols();
            const QColor back = grid->cellBackColor(r, c);
            painter->fillRect(cell, back.isValid() ? back
                                    : heading      ? QColor(0xe8, 0xe8, 0xe8)
                                                   : QColor(Qt::white));
            painter->setPen(QColor(0xc0, 0xc0, 0xc0));
            painter->drawRect(cell.adjusted(0, 0, -1, -1));
            const QString text = grid->textMatrix(r, c);
            if (text.isEmpty())
                continue;
            const QTableWidgetItem* item =
                heading ? nullptr : grid->item(r - grid->fixedRows(), c - grid->fixedCols());
            const QBrush fore = item ? item->foreground() : QBrush();
            painter->setPen(fore.style() == Qt::NoBrush ? QColor(Qt::black) : fore.color());
            painter->drawText(cell.adjusted(2, 0, -2, 0), Qt::AlignCenter, text);
        }
        y += heights[r];
    }
    return size;
}

QSize WidgetSize(QWidget* widget) {
    if (auto* grid = qobject_cast<Grid*>(widget))
        return PaintTable(nullptr, grid);
    return widget->size();
}

void PaintWidget(QPainter* painter, QWidget* widget) {
    if (auto* grid = qobject_cast<Grid*>(widget))
        PaintTable(painter, grid);
    else
        widget->render(painter, QPoint(), QRegion(), QWidget::DrawChildren);
}

QSize PictureSize(const ExportItem& item) {
    QSize size = WidgetSize(item.picture);
    if (item.legend && item.legend->isVisibleTo(item.legend->parentWidget())) {
        const QSize legend = item.legend->size();
        size = QSize(std::max(size.width(), legend.width()), size.height() + legend.height());
    }
    return size;
}

void Paint(QPainter* painter, const ExportItem& item) {
    PaintWidget(painter, item.picture);
    if (item.legend && item.legend->isVisibleTo(item.legend->parentWidget())) {
        painter->save();
        painter->translate(0, WidgetSize(item.picture).height());
        PaintWidget(painter, item.legend);
        painter->restore();
    }
}

// Points a failed write's reason at the file.
Status WriteFailed(const QString& path, const QString& why) {
    return Fail(QStringLiteral("%1 could not be written: %2")
                    .arg(QDir::toNativeSeparators(path), why)
                    .toStdString());
}

void Export(QWidget* parent, const ShellState& state, const ExportItem& item,
            const QString& extension, bool full) {
    QString what = item.what;
    if (full)
        what += QStringLiteral(" full");
    const QString path = PathChooser()(parent, ExportPath(state, what, extension));
    if (path.isEmpty())
        return;
    Status saved;
    if (extension == QLatin1String("csv"))
        saved = SaveCsv(path, full ? item.fullRows() : item.shownRows());
    else
        saved = SavePicture(path, item);
    if (!saved)
        ShowMessage(parent, saved.message());
}

// The layout that holds a widget, searched from its parent's top layout down.
QBoxLayout* HoldingLayout(QLayout* layout, QWidget* widget, int* index) {
    if (!layout)
        return nullptr;
    if (const int at = layout->indexOf(widget); at >= 0) {
        *index = at;
        return qobject_cast<QBoxLayout*>(layout);
    }
    for (int i = 0; i < layout->count(); ++i)
        if (QBoxLayout* found = HoldingLayout(layout->itemAt(i)->layout(), widget, index))
            return found;
    return nullptr;
}

} // namespace

QByteArray CsvText(const CsvRows& rows) {
    QString text;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& field : row)
            fields << CsvField(field);
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

CsvRows TableRows(const Grid* grid) {
    int lastRow = -1;
    int lastCol = -1;
    for (int r = 0; r < grid->rows(); ++r)
        for (int c = 0; c < grid->cols(); ++c)
            if (!grid->textMatrix(r, c).trimmed().isEmpty()) {
                lastRow = std::max(lastRow, r);
                lastCol = std::max(lastCol, c);
            }
    CsvRows rows;
    for (int r = 0; r <= lastRow; ++r) {
        QStringList row;
        for (int c = 0; c <= lastCol; ++c)
            row << grid->textMatrix(r, c).trimmed();
        rows << row;
    }
    return rows;
}

CsvRows TableRows(const QTableWidget* table) {
    CsvRows rows;
    QStringList heading;
    for (int c = 0; c < table->columnCount(); ++c) {
        const QTableWidgetItem* item = table->horizontalHeaderItem(c);
        heading << (item ? item->text().trimmed() : QString());
    }
    rows << heading;
    int last = -1;
    for (int r = 0; r < table->rowCount(); ++r)
        for (int c = 0; c < table->columnCount(); ++c)
            if (const QTableWidgetItem* item = table->item(r, c);
                item && !item->text().trimmed().isEmpty())
                last = r;
    for (int r = 0; r <= last; ++r) {
        QStringList row;
        for (int c = 0; c < table->columnCount(); ++c) {
            const QTableWidgetItem* item = table->item(r, c);
            row << (item ? item->text().trimmed() : QString());
        }
        rows << row;
    }
    return rows;
}

CsvRows WithFullColumns(const CsvRows& shown, const std::vector<FullColumn>& columns) {
    // Inserted from the last leftwards, each just after the column it refines, so that the
    // shown columns keep their places and two refining one column keep their order.
    std::vector<const FullColumn*> order;
    for (const FullColumn& column : columns)
        order.push_back(&column);
    std::stable_sort(order.begin(), order.end(), [](const FullColumn* a, const FullColumn* b) {
        return a->column < b->column;
    });
    CsvRows rows = shown;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const FullColumn* column = *it;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            QStringList& row = rows[r];
            while (row.size() <= column->column)
                row << QString();
            QString text;
            if (r == 0) {
                text = column->heading.isEmpty()
                           ? row[column->column] + QStringLiteral(" (full precision)")
                           : column->heading;
            } else if (const std::size_t k = static_cast<std::size_t>(r - 1);
                       k < column->values.size() && column->values[k]) {
                text = QString::fromStdString(RoundTripForm(*column->values[k]));
            }
            row.insert(column->column + 1, text);
        }
    }
    return rows;
}

Status SaveCsv(const QString& path, const CsvRows& rows) {
    const QByteArray bytes = CsvText(rows);
    if (auto error = WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                         std::string(bytes.constData(), bytes.size())))
        return WriteFailed(path, QString::fromStdString(*error));
    return {};
}

Status SavePicture(const QString& path, const ExportItem& item) {
    const QSize size = PictureSize(item).expandedTo(QSize(1, 1));
    if (QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) {
        // Written beside the target first, so that a failure leaves an older file whole.
        const QString partial = path + QStringLiteral(".part");
        QSvgGenerator svg;
        svg.setFileName(partial);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(), size));
        svg.setTitle(item.what);
        QPainter painter;
        if (!painter.begin(&svg))
            return WriteFailed(path, QStringLiteral("the file cannot be created"));
        Paint(&painter, item);
        if (!painter.end()) {
            QFile::remove(partial);
            return WriteFailed(path, QStringLiteral("the picture could not be finished"));
        }
        QFile::remove(path);
        if (!QFile::rename(partial, path)) {
            QFile::remove(partial);
            return WriteFailed(path, QStringLiteral("the file cannot be replaced"));
        }
        return {};
    }
    QImage image(size * 2, QImage::Format_ARGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        Paint(&painter, item);
    }
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return WriteFailed(path, QStringLiteral("the picture cannot be encoded"));
    }
    if (auto error = WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                         std::string(png.constData(), png.size())))
        return WriteFailed(path, QString::fromStdString(*error));
    return {};
}

ExportItem TableExport(const QString& what, const Grid* table, std::function<CsvRows()> fullRows) {
    ExportItem item;
    item.what = what;
    item.shownRows = [table] { return TableRows(table); };
    item.fullRows = std::move(fullRows);
    return item;
}

ExportItem TableExport(const QString& what, const Grid* table,
                       std::function<std::vector<FullColumn>()> fullColumns) {
    return RowsExport(
        what, [table] { return TableRows(table); }, std::move(fullColumns));
}

ExportItem RowsExport(const QString& what, std::function<CsvRows()> shownRows,
                      std::function<std::vector<FullColumn>()> fullColumns) {
    ExportItem item;
    item.what = what;
    item.shownRows = shownRows;
    if (fullColumns)
        item.fullRows = [shownRows, fullColumns] {
            return WithFullColumns(shownRows(), fullColumns());
        };
    return item;
}

ExportItem PictureExport(const QString& what, QWidget* picture) {
    ExportItem item;
    item.what = what;
    item.picture = picture;
    return item;
}

ExportItem MapExport(const QString& what, Grid* map, QWidget* legend) {
    ExportItem item = TableExport(what, map);
    item.picture = map;
    item.legend = legend;
    return item;
}

QString ExportPath(const ShellState& state, const QString& what, const QString& extension) {
    QString name = what.toLower();
    name.replace(QLatin1Char(' '), QLatin1Char('-'));
    const QString pdf = ReportPdfPath(state, name);
    return pdf.left(pdf.size() - 3) + extension;
}

QPushButton* MakeExportButton(QWidget* parent, const ShellState& state,
                              std::vector<ExportItem> items, QPushButton* follows) {
    QWidget* window = parent->window();
    auto* button = MakeButton(parent, QStringLiteral("exportbut"), QStringLiteral("E&xport..."));
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("exportmnu"));
    const ShellState* shell = &state;
    for (const ExportItem& item : items) {
        const QString what = item.what;
        QString caption = what;
        caption[0] = caption[0].toUpper();
        auto add = [&](const QString& text, const QString& extension, bool full) {
            QAction* action = menu->addAction(caption + text);
            action->setObjectName(
                QStringLiteral("export %1 %2%3")
                    .arg(what, extension, full ? QStringLiteral(" full") : QString()));
            QObject::connect(action, &QAction::triggered, window,
                             [window, shell, item, extension, full] {
                                 Export(window, *shell, item, extension, full);
                             });
        };
        if (item.shownRows)
            add(QStringLiteral(" as CSV (figures as shown)"), QStringLiteral("csv"), false);
        if (item.fullRows)
            add(QStringLiteral(" as CSV (full precision)"), QStringLiteral("csv"), true);
        if (item.picture) {
            add(QStringLiteral(" as PNG picture"), QStringLiteral("png"), false);
            add(QStringLiteral(" as SVG picture"), QStringLiteral("svg"), false);
        }
    }
    button->setMenu(menu);
    if (!follows)
        return button;
    // Offered while the button it follows is: windows that change mode hide their print button
    // or disable it until there is something to print.
    class Follower : public QObject {
      public:
        Follower(QPushButton* leader, QPushButton* follower)
            : QObject(follower), leader_(leader), follower_(follower) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
                follower_->setVisible(leader_->isVisibleTo(leader_->parentWidget()));
            else if (event->type() == QEvent::EnabledChange)
                follower_->setEnabled(leader_->isEnabled());
            return QObject::eventFilter(watched, event);
        }

      private:
        QPushButton* leader_;
        QPushButton* follower_;
    };
    follows->installEventFilter(new Follower(follows, button));
    button->setEnabled(follows->isEnabled());
    if (follows->isHidden())
        button->hide();
    return button;
}

QPushButton* AddExportButton(QPushButton* beside, const ShellState& state,
                             std::vector<ExportItem> items) {
    QPushButton* button = MakeExportButton(beside->parentWidget(), state, std::move(items), beside);
    int index = -1;
    QWidget* holder = beside->parentWidget();
    if (QBoxLayout* layout = HoldingLayout(holder ? holder->layout() : nullptr, beside, &index))
        layout->insertWidget(index + 1, button);
    QWidget::setTabOrder(beside, button);
    return button;
}

ExportPathChooser SetExportPathChooser(ExportPathChooser chooser) {
    ExportPathChooser previous = PathChooser();
    PathChooser() = std::move(chooser);
    return previous;
}

} // namespace davrenta
