// The first steps of the population-map study's window tests, and what they check of the maps.
#pragma once

#include <QScrollArea>
#include <QScrollBar>
#include <QString>

#include "modaldriver.h"
#include "shell/grid.h"

namespace davrenta::testing {

// Main window -> description -> grid window -> one or two PODs -> measure -> method.
inline void Setup(ModalDriver& d, const char* pods, const char* measure, const char* method) {
    d.expectWindow("fldescfrm")
        .click("contbut")
        .expectWindow("flgridfrm")
        .click("Contbut")
        .expectWindow("flfrm")
        .click(pods)
        .expectWindow("zedu1frm")
        .click(measure)
        .click(method);
}

// Loads a problem file through the chooser, by name in the examples folder or as a path.
inline void LoadFile(ModalDriver& d, const QString& name, bool examples = true) {
    d.expectWindow("sourcefrm").click("diskbut").expectWindow("filefrm");
    if (examples)
        d.click("examplesbut");
    d.setText("Text1", name).click("okbut");
}

// Review window -> input map -> summary -> the map with the existing PODs numbered.
inline ModalDriver& ToNumberedMap(ModalDriver& d) {
    return d.expectWindow("flocgridfrm")
        .click("Okbut")
        .expectWindow("flareafrm")
        .click("okbut")
        .expectWindow("flresultfrm")
        .click("okbut")
        .expectWindow("flareafrm");
}

// On from the review window through the distribution and the existing PODs' service areas to
// the first results window.
inline ModalDriver& ToFirstResults(ModalDriver& d) {
    return ToNumberedMap(d)
        .click("okbut")
        .expectWindow("flpopfrm")
        .click("okbut")
        .expectWindow("flareafrm")
        .click("okbut")
        .expectWindow("flservfrm");
}

// Whether the map keeps two thirds of the window's width and height, its legend in a column
// beside it that scrolls when it is longer than the map is high.
inline bool MapKeepsTwoThirds(QWidget* w, QString* why) {
    auto* map = w->findChild<Grid*>(QStringLiteral("flareagrd"));
    auto* legend = w->findChild<QScrollArea*>("legendarea");
    const QRect mapRect(map->mapTo(w, QPoint(0, 0)), map->size());
    const QRect legendRect(legend->mapTo(w, QPoint(0, 0)), legend->size());
    const int content = legend->widget()->height();
    *why = QStringLiteral("map %1 x %2 in %3 x %4, legend %5 high showing %6")
               .arg(map->width())
               .arg(map->height())
               .arg(w->width())
               .arg(w->height())
               .arg(legend->viewport()->height())
               .arg(content);
    const bool scrolls =
        content <= legend->viewport()->height() || legend->verticalScrollBar()->maximum() > 0;
    return 3 * map->width() >= 2 * w->width() && 3 * map->height() >= 2 * w->height() &&
           legend->isVisible() && legendRect.left() >= mapRect.right() &&
           legendRect.bottom() <= mapRect.bottom() && scrolls;
}

} // namespace davrenta::testing
