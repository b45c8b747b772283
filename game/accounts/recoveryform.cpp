#include "recoveryform.h"

#include "gameapp.h"
#include "studiotheme.h"

RecoveryForm::RecoveryForm(GameApp &app) : m_app(app)
{
    setObjectName(QStringLiteral("Form4"));
    studio::styleForm(this);
}
