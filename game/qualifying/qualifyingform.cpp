#include "qualifyingform.h"

#include "gameapp.h"
#include "studiotheme.h"

QualifyingForm::QualifyingForm(GameApp &app) : m_app(app)
{
    setObjectName(QStringLiteral("choi"));
    studio::styleForm(this);
}
