#include "editor/core/step_report.h"

QString StepWarningsText(const StepResult &result)
{
    if (result.withWarnings == 0)
        return QString();
    return result.withWarnings == 1
               ? CRendaroView::tr("\n\n1 of the strings changed carries a warning (Go > Next Warning moves to it).")
               : CRendaroView::tr("\n\n%1 of the strings changed carry a warning (Go > Next Warning moves to them).")
                     .arg(result.withWarnings);
}
