#include "shell/dirlist.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

namespace davrenta {

namespace {

constexpr int kPathRole = Qt::UserRole;

bool Readable(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isDir() && info.isReadable() && info.isExecutable();
}

} // namespace

DirectoryList::DirectoryList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item, int) { activate(item); });
}

bool DirectoryList::setPath(const QString& path) {
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    if (!Readable(clean))
        return false;
    path_ = clean;
    fill();
    return true;
}

void DirectoryList::fill() {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root down to the current directory.
    QStringList chain;
    for (QDir dir(path_);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    QTreeWidgetItem* parent = nullptr;
    for (const QString& folder : chain) {
        const QString name =
            QDir(folder).isRoot() ? QDir::toNativeSeparators(folder) : QFileInfo(folder).fileName();
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
        item->setText(0, name);
        item->setIcon(0, open);
        item->setData(0, kPathRole, folder);
        item->setToolTip(0, QDir::toNativeSeparators(folder));
        parent = item;
    }
    QTreeWidgetItem* current = parent;

    const QStringList subdirectories =
        QDir(path_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subdirectories) {
        auto* item = new QTreeWidgetItem(current);
        item->setText(0, name);
        item->setIcon(0, closed);
        const QString full = QDir(path_).filePath(name);
        item->setData(0, kPathRole, full);
        item->setToolTip(0, QDir::toNativeSeparators(full));
    }
    expandAll();
    if (current) {
        QFont bold = current->font(0);
        bold.setBold(true);
        current->setFont(0, bold);
        setCurrentItem(current);
    }
}

void DirectoryList::activate(QTreeWidgetItem* item) {
    if (!item)
        return;
    const QString target = item->data(0, kPathRole).toString();
    if (target.isEmpty() || target == path_)
        return;
    if (!setPath(target)) {
        emit pathRefused(target);
        return;
    }
    emit pathChanged(path_);
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
    // Enter opens the folder and stays here: it must not also press the window's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        activate(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace davrenta
