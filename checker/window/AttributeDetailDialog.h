#pragma once

#include "AttributeDetail.h"

#include <QDialog>

#include <functional>

class QLabel;

namespace vorn::checker {

// What one S.M.A.R.T. attribute means and where it stands: its name,
// importance and explanation from the description file, and its initial,
// current, worst and threshold values with its wear.
class CAttributeDetailDlg : public QDialog {
    Q_OBJECT

public:
    // startDir holds Template/ with the description file; it is read anew
    // each time a dialog is made.
    CAttributeDetailDlg(const AttributeFigures& figures, const QString& startDir,
                        QWidget* parent = nullptr);

    const AttributeDetailTexts& Texts() const { return m_texts; }

    // Adds the button that opens the attribute's history.
    void SetHistory(std::function<void()> open);

private:
    AttributeDetailTexts m_texts;
};

} // namespace vorn::checker
