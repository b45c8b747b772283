#include "hotseatform.h"

#include "gameapp.h"
#include "studiotheme.h"

HotSeatForm::HotSeatForm(GameApp &app) : m_app(app)
{
    setObjectName(QStringLiteral("Form1"));
    studio::styleForm(this);
}
