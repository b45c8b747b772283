#pragma once
// The toolkit's own texts in Vietnamese: the standard buttons of message boxes
// and dialogs ("Đồng ý", "Hủy", "Có", "Không", ...), the edit menu of text
// boxes, and the file dialog with its list of files. Qt ships no Vietnamese translation of its own, so both programs
// install this one at start-up.

#include <QTranslator>

namespace ui {

class ToolkitTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;
};

// Installs the toolkit's Vietnamese texts in the running application (once).
void installToolkitTexts();

} // namespace ui
