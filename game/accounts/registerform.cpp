#include "registerform.h"

#include "gameapp.h"
#include "studiotheme.h"

RegisterForm::RegisterForm(GameApp &app) : m_app(app)
{
    setObjectName(QStringLiteral("Form2"));
    studio::styleForm(this);
}
