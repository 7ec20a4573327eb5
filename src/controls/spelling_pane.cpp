#include "controls/spelling_pane.h"

CSpellingPane::CSpellingPane(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("spellingPane"));
    setAccessibleDescription(tr("The spelling dictionary of the shown file"));
    hide();
}

void CSpellingPane::setStatus(const QString &text)
{
    setText(text);
    setAccessibleName(text);
    setVisible(!text.isEmpty());
}
