#include "controls/status_panes.h"

#include <QPalette>
#include <limits>

namespace {

constexpr QRgb kOverColour = qRgb(200, 0, 0);

} // namespace

CTextPane::CTextPane(const QString &objectName, const QString &description, QWidget *parent) : QLabel(parent)
{
    setObjectName(objectName);
    setAccessibleDescription(description);
    hide();
}

void CTextPane::showText(const QString &text, const QString &whole)
{
    const QString full = whole.isEmpty() ? text : whole;
    setText(text);
    setToolTip(full);
    setAccessibleName(full);
    setVisible(!text.isEmpty());
}

CCountsPane::CCountsPane(QWidget *parent)
    : CTextPane(QStringLiteral("countsPane"), tr("Strings, untranslated strings and problems of the shown file"), parent)
{
}

CRowsShownPane::CRowsShownPane(QWidget *parent)
    : CTextPane(QStringLiteral("rowsShownPane"), tr("Rows shown of the strings of the shown file"), parent)
{
}

CSpellingPane::CSpellingPane(QWidget *parent)
    : CTextPane(QStringLiteral("spellingPane"), tr("The spelling dictionary of the shown file"), parent)
{
}

CEditLengthPane::CEditLengthPane(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("editLengthPane"));
    hide();
}

void CEditLengthPane::showLength(qsizetype length, qsizetype maximum)
{
    if (length < 0) {
        m_over = false;
        setText(QString());
        setAccessibleName(QString());
        hide();
        return;
    }
    const bool limited = maximum < qsizetype(std::numeric_limits<int>::max());
    m_over = limited && length > maximum;
    const QString text = limited ? tr("%1 of %2 characters").arg(length).arg(maximum)
                                 : tr("%1 characters").arg(length);
    setText(text);
    setAccessibleName(text);
    setAccessibleDescription(m_over ? tr("Too long: the translation is longer than its length limit")
                                    : tr("Length of the translation being edited and its limit"));
    if (m_over) {
        QPalette colours = palette();
        colours.setColor(QPalette::WindowText, QColor(kOverColour));
        setPalette(colours);
    } else {
        setPalette(QPalette());  // no colour of its own: the status bar's
    }
    show();
}
