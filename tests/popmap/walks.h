// The first steps of the population-map study's window tests.
#pragma once

#include <QString>

#include "modaldriver.h"

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

} // namespace davrenta::testing
