#include "registerform.h"

#include "accounts/loginform.h"
#include "accounts/registerfields.h"
#include "gameapp.h"
#include "gamedb.h"
#include "legacylabel.h"
#include "studiotheme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
using vn::Encoding;

const QString kWindowTitle = QStringLiteral("Âàng Kyï");
const QString kGreeting = QStringLiteral("Chaìo mæìng baûn tham gia");
const QString kConfirm = QStringLiteral("Xaïc nháûn");
const QString kContinue = QStringLiteral("Tiãúp Tuûc");
const QString kCheckId = QStringLiteral("Kiãøm tra ID");
const QString kWantToRegister = QStringLiteral("Xaïc nhán baûn muäún âàng kê.");
const QString kIdTaken = QStringLiteral("ID khäng håüp lãû hoàûc âaî âæåc âàng kê.");
const QString kIdFree = QStringLiteral("ID håüp lãû baûn coï thãø sæí duûng.");
const QString kInvalidOrUsed = QStringLiteral("khäng håüp lãû hay âaî âæåüc sæí duûng vui loìng kiãøm tra laûi.");
const QString kHello = QStringLiteral("Xin chaìo ");
const QString kWelcomeHead = QStringLiteral("Chaìo mæìng ");
const QString kWelcomeTail = QStringLiteral(" âãún våïi troì chåi Lontaris... Chuïc baûn may màõn...");
const QString kFailedId = QStringLiteral("ID");
const QString kFailedPassword = QStringLiteral(" Password ");
const QString kFailedBirthDate = QStringLiteral(" Ngaìy sinh  ");
const QString kStartingMoney = QStringLiteral("1200");

// The introduction: an invitation, the conditions of the game, contact lines.
QString introductionText()
{
    const QString invitation = vn::encodeLossy(
        QStringLiteral("    Bạn yêu thích những cuộc thi kiến thức trên truyền hình? Giờ đây bạn có thể "
                       "tự mình ngồi vào ghế nóng, trả lời mười lăm câu hỏi và trở thành triệu phú "
                       "ngay tại nhà với Lontaris."),
        Encoding::VnTimes);
    const QString contact = vn::encodeLossy(
        QStringLiteral("    Mọi thắc mắc và góp ý xin gửi về ban tổ chức trò chơi Lontaris.\n"
                       "    Chúc bạn những giờ phút thư giãn bổ ích."),
        Encoding::VnTimes);
    const QStringList lines = {
        invitation,
        QString(),
        QStringLiteral("   Âiãöu kiãûn tham gia: Træåïc tiãn baûn phaíi âàng kê taìi khoaín vaì baûn "),
        QStringLiteral("âæåc  tàûng  1,200$  khi  tham  gia  chåi , mäùi láön chåi baûn täún 1,000$."),
        QStringLiteral("    Træåïc khi khåíi haình vui loìng âoüc låìi chè dáùn."),
        QStringLiteral("Báy  giåì thç  coìn  chåì gç næîa . Click  âãø  taûo  taìi khoaín,  âãø  khaïm  phaï "),
        QStringLiteral("troì chåi thuï vë naìy."),
        QString(),
        contact,
    };
    return lines.join(QLatin1Char('\n'));
}

QString creditLine()
{
    return vn::encodeLossy(QStringLiteral("Lontaris - trò chơi đố vui truyền hình tại nhà"), Encoding::VnTimes);
}

QComboBox *dateBox(QWidget *parent, const char *name, int width)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // No completion from the list: a partly typed year must not turn into 1945.
    box->setCompleter(nullptr);
    box->lineEdit()->setMaxLength(accounts::kFieldMaxLength);
    box->lineEdit()->setAlignment(Qt::AlignCenter);
    box->setMaxVisibleItems(12);
    box->setMinimumWidth(width);
    return box;
}

QLineEdit *summaryBox(QWidget *parent, const char *name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

void clearDateBox(QComboBox *box)
{
    box->setCurrentIndex(-1);
    box->setEditText(QString());
}
} // namespace

// Closing unloads the form: the next opening starts at the introduction.
RegisterForm::RegisterForm(GameApp &app)
    : LegacyForm(app, QStringLiteral("Form2"), vn::display(kWindowTitle, Encoding::VnTimes),
                 [&app] { return app.login(); }),
      m_app(app)
{
    resize(640, 560); // the layout sets the smallest size

    m_L = new LegacyLabel(this, QStringLiteral("L"));
    studio::setRole(m_L, "title");
    m_L->setExtraStyle(QStringLiteral("font-size: 18pt;"));

    auto *closeButton = accounts::closePicture(this, QStringLiteral("Picture5"));
    connect(closeButton, &LegacyLabel::clicked, this, &QWidget::close);

    buildIntroduction();

    m_page = new QWidget(this);
    m_page->setObjectName(QStringLiteral("registrationPage"));
    buildPanel();
    buildSummary();

    m_command1 = accounts::commandButton(m_page, "Command1", kConfirm);
    m_command2 = accounts::commandButton(m_page, "Command2", kContinue);
    connect(m_command1, &LegacyLabel::clicked, this, &RegisterForm::attemptRegistration);
    connect(m_command2, &LegacyLabel::clicked, this, [this] {
        hide();
        handBack();
    });

    // The inputs and the summary take the same place; the buttons sit below.
    auto *body = new QGridLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(m_inputs, 0, 0);
    body->addWidget(m_baocao, 0, 0);
    auto *pageLayout = new QVBoxLayout(m_page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(14);
    pageLayout->addLayout(body, 1);
    pageLayout->addLayout(studio::centredRow({m_command1, m_command2}));

    m_xem = accounts::statusLine(this);

    auto *top = new QHBoxLayout;
    top->addWidget(m_L, 1);
    top->addWidget(closeButton, 0, Qt::AlignTop);

    // The introduction covers the panel until it is confirmed.
    auto *stage = new QGridLayout;
    stage->addWidget(m_frame1, 0, 0);
    stage->addWidget(m_page, 0, 0);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(26, 14, 26, 16);
    outer->setSpacing(14);
    outer->addLayout(top);
    outer->addLayout(stage, 1);
    outer->addWidget(m_xem);

    resetControls();
    ensureLoaded();
}

void RegisterForm::buildIntroduction()
{
    m_frame1 = new QGroupBox(QStringLiteral("Lontaris"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setMouseTracking(true);
    m_frame1->installEventFilter(this);
    m_frame1->setStyleSheet(QStringLiteral(
        "QGroupBox#Frame1 { background: rgba(6, 12, 44, 225); border: 2px solid #d9b44a; border-radius: 18px;"
        " margin-top: 18px; padding: 18px 14px 12px 14px; font-size: 15pt; font-weight: bold; }"
        "QGroupBox#Frame1::title { color: #ffd75a; }"));

    m_text1 = new QPlainTextEdit(m_frame1);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setReadOnly(true);
    m_text1->setPlainText(vn::decode(introductionText(), Encoding::VnTimes));
    m_text1->setStyleSheet(QStringLiteral("QPlainTextEdit { font-size: 12pt; background: rgba(10, 18, 54, 230); }"));

    m_check1 = new QCheckBox(vn::display(kWantToRegister, Encoding::VnTimes), m_frame1);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check1->setCursor(Qt::PointingHandCursor);

    m_cmdOK = new LegacyLabel(m_frame1, QStringLiteral("cmdOK"), kConfirm);
    m_cmdOK->makeButton();
    m_cmdOK->setLeastWidth(170);
    // A gold capsule, so that the dark blue caption of the old hover effect reads well.
    m_cmdOK->setExtraStyle(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffe9a8, stop:1 #d9a932);"
        " border: 2px solid #fff4cf;"));

    connect(m_check1, &QCheckBox::clicked, this, [this](bool ticked) {
        m_cmdOK->setEnabled(ticked);
        setCheckColour(ticked ? QColor(192, 192, 255) : QColor(255, 255, 192));
    });
    connect(m_cmdOK, &LegacyLabel::clicked, this, [this] {
        m_frame1->hide();
        m_page->show();
    });
    connect(m_cmdOK, &LegacyLabel::hovered, this, [this] { setConfirmColour(QColor(0, 0, 192)); });

    auto *row = new QHBoxLayout;
    row->addWidget(m_check1);
    row->addStretch();
    row->addWidget(m_cmdOK);

    auto *v = new QVBoxLayout(m_frame1);
    v->setSpacing(12);
    v->addWidget(m_text1, 1);
    v->addLayout(row);
}

void RegisterForm::buildPanel()
{
    m_inputs = new QFrame(m_page);
    m_inputs->setObjectName(QStringLiteral("registrationPanel"));
    studio::setRole(m_inputs, "panel");

    m_id = accounts::makeBox(m_inputs, QStringLiteral("id"));
    m_p1 = accounts::makeBox(m_inputs, QStringLiteral("p1"), '*');
    m_p2 = accounts::makeBox(m_inputs, QStringLiteral("p2"), '*');
    m_thang = dateBox(m_inputs, "thang", 70);
    m_ngay = dateBox(m_inputs, "ngay", 70);
    m_nam = dateBox(m_inputs, "nam", 96);
    m_mail = accounts::makeBox(m_inputs, QStringLiteral("mail"));
    m_bimat = new QComboBox(m_inputs);
    m_bimat->setObjectName(QStringLiteral("bimat"));
    m_bimat->setEditable(false);
    m_traloi = accounts::makeBox(m_inputs, QStringLiteral("traloi"), '$');

    m_checkId = new LegacyLabel(m_inputs, QStringLiteral("lblLabels7"), kCheckId);
    m_checkId->makeButton();
    m_checkId->setExtraStyle(QStringLiteral("font-size: 10pt; padding: 4px 14px; border-radius: 13px;"));
    connect(m_checkId, &LegacyLabel::clicked, this, &RegisterForm::checkNick);

    auto *lId = accounts::fieldLabel(m_inputs, "lblLabels1", QStringLiteral("&ID:"));
    auto *lP1 = accounts::fieldLabel(m_inputs, "lblLabels2", QStringLiteral("Nháûp Password :"));
    auto *lP2 = accounts::fieldLabel(m_inputs, "lblLabels3", QStringLiteral("Xaïc nháûn laûi pass:"));
    auto *lBirth = accounts::fieldLabel(m_inputs, "lblLabels4", QStringLiteral("Ngaìy sinh:"));
    auto *lDay = accounts::fieldLabel(m_inputs, "lblLabels8", QStringLiteral("Ngaìy"));
    auto *lMonth = accounts::fieldLabel(m_inputs, "lblLabels9", QStringLiteral("Thaïng"));
    auto *lMail = accounts::fieldLabel(m_inputs, "lblLabels5", QStringLiteral("Cäng viãûc cuía baûn"));
    auto *lQuestion = accounts::fieldLabel(m_inputs, "lblLabels6", QStringLiteral("Læûa choün cáu hoíi bê máût :"));
    auto *lAnswer = accounts::fieldLabel(m_inputs, "lblLabels10", QStringLiteral("Cáu traí låìi bê máût :"));
    lId->setBuddy(m_id);
    for (LegacyLabel *l : {lDay, lMonth}) {
        l->setForeColor(QColor(160, 180, 240));
        l->setExtraStyle(QStringLiteral("font-size: 9pt;"));
    }

    auto *date = new QHBoxLayout;
    date->setSpacing(8);
    auto dayPart = [&](LegacyLabel *label, QComboBox *box) {
        auto *v = new QVBoxLayout;
        v->setSpacing(2);
        v->addWidget(label, 0, Qt::AlignHCenter);
        v->addWidget(box);
        date->addLayout(v);
    };
    dayPart(lDay, m_thang);
    dayPart(lMonth, m_ngay);
    auto *yearBox = new QVBoxLayout;
    yearBox->setSpacing(2);
    yearBox->addStretch();
    yearBox->addWidget(m_nam);
    date->addLayout(yearBox);
    date->addStretch();

    auto *grid = new QGridLayout(m_inputs);
    grid->setContentsMargins(28, 22, 28, 22);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    int r = 1;
    grid->addWidget(lId, r, 0);
    grid->addWidget(m_id, r, 1);
    grid->addWidget(m_checkId, r++, 2);
    grid->addWidget(lP1, r, 0);
    grid->addWidget(m_p1, r++, 1);
    grid->addWidget(lP2, r, 0);
    grid->addWidget(m_p2, r++, 1);
    grid->addWidget(lBirth, r, 0, Qt::AlignBottom);
    grid->addLayout(date, r++, 1, 1, 2);
    grid->addWidget(lMail, r, 0);
    grid->addWidget(m_mail, r++, 1, 1, 2);
    grid->addWidget(lQuestion, r, 0);
    grid->addWidget(m_bimat, r++, 1, 1, 2);
    grid->addWidget(lAnswer, r, 0);
    grid->addWidget(m_traloi, r++, 1);
    grid->setRowStretch(r, 1);

    for (QComboBox *box : {m_thang, m_ngay})
        connect(box, &QComboBox::editTextChanged, this, [this, box] { normaliseDateBox(box); });
}

void RegisterForm::buildSummary()
{
    m_baocao = new QGroupBox(m_page);
    m_baocao->setObjectName(QStringLiteral("baocao"));
    m_baocao->setStyleSheet(QStringLiteral(
        "QGroupBox#baocao { background: rgba(6, 12, 44, 225); border: 2px solid #d9b44a; border-radius: 18px;"
        " margin-top: 18px; padding: 18px 14px 12px 14px; font-size: 15pt; font-weight: bold; }"
        "QGroupBox#baocao::title { color: #ffd75a; }"));
    m_id113 = summaryBox(m_baocao, "id113");
    m_pa = summaryBox(m_baocao, "pa");
    accounts::setMask(m_pa, '*');
    m_ns = summaryBox(m_baocao, "ns");
    m_mail1 = summaryBox(m_baocao, "mail1");
    m_tien = new LegacyLabel(m_baocao, QStringLiteral("tien"), QString(), Encoding::Plain);
    studio::setRole(m_tien, "money");

    auto *grid = new QGridLayout(m_baocao);
    grid->setContentsMargins(28, 26, 28, 22);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(12);
    grid->setColumnStretch(1, 1);
    const std::pair<const char *, QString> labels[] = {
        {"Label1", QStringLiteral("&ID:")},
        {"Label2", QStringLiteral("&Password:")},
        {"Label3", QStringLiteral("&Ngaìy sinh:")},
        {"Label4", QStringLiteral("Cäng viãûc cuía baûn")},
    };
    QWidget *boxes[] = {m_id113, m_pa, m_ns, m_mail1};
    grid->setRowStretch(0, 1);
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(accounts::fieldLabel(m_baocao, labels[i].first, labels[i].second), i + 1, 0);
        grid->addWidget(boxes[i], i + 1, 1);
    }
    auto *money = accounts::fieldLabel(m_baocao, "Label5", QStringLiteral("Säú tiãön trong taìi khoaín cuía baûn laì:"));
    auto *moneyRow = new QHBoxLayout;
    moneyRow->setSpacing(14);
    moneyRow->addWidget(money);
    moneyRow->addWidget(m_tien);
    moneyRow->addStretch();
    grid->addLayout(moneyRow, 5, 0, 1, 2);
    grid->setRowStretch(6, 1);
}

void RegisterForm::resetControls()
{
    // The form as designed, before Load.
    m_frame1->show();
    m_page->hide();
    m_check1->setChecked(false);
    setCheckColour(QColor(255, 255, 192));
    m_cmdOK->setEnabled(true);
    setConfirmColour(QColor(0, 0, 128));

    m_normalising = true;
    for (QComboBox *box : {m_thang, m_ngay, m_nam}) {
        box->clear();
        box->setEditText(QString());
    }
    m_normalising = false;
    for (QLineEdit *box : {m_id, m_p1, m_p2, m_mail, m_traloi})
        box->clear();
    accounts::fillSecretQuestions(m_bimat);

    m_inputs->show();
    m_baocao->hide();
    m_summaryCaption = QStringLiteral("baocao");
    m_baocao->setTitle(m_summaryCaption);
    for (QLineEdit *box : {m_id113, m_pa, m_ns, m_mail1})
        box->clear();
    m_tien->setCaption(QString());
    m_command1->show();
    m_command2->hide();

    m_L->setCaption(QString());
    setStatus(creditLine());

    m_id1.clear();
    m_pass.clear();
    m_ngaysinh = QStringLiteral("ngaysinh");
    m_ngaysinh1 = QStringLiteral("ngaysinh");
    m_loi.clear();
    m_ownRow = 0;
}

void RegisterForm::load()
{
    m_normalising = true; // filling the lists is not typing
    for (int d = 1; d <= 31; ++d)
        m_thang->addItem(QString::number(d));
    for (int m = 1; m <= 12; ++m)
        m_ngay->addItem(QString::number(m));
    for (int y = 1945; y <= 2006; ++y)
        m_nam->addItem(QString::number(y));
    for (QComboBox *box : {m_thang, m_ngay, m_nam}) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    }
    m_normalising = false;
    m_L->setCaption(kGreeting);
}

void RegisterForm::normaliseDateBox(QComboBox *box)
{
    if (m_normalising)
        return;
    const QString typed = box->currentText();
    const QString number = accounts::leadingNumber(typed);
    if (number == typed)
        return;
    m_normalising = true;
    box->setEditText(number);
    m_normalising = false;
}

void RegisterForm::setConfirmColour(const QColor &c)
{
    if (m_cmdOK->foreColor() != c)
        m_cmdOK->setForeColor(c);
}

void RegisterForm::setCheckColour(const QColor &c)
{
    m_check1->setStyleSheet(QStringLiteral("QCheckBox { color: %1; }").arg(c.name()));
    m_check1->setProperty("foreColor", c);
}

void RegisterForm::setStatus(const QString &legacy)
{
    m_xem->setCaption(legacy);
    // The status line carries typed nicks: an '&' in one is a character, not an
    // accelerator, so the line is shown decoded as it is.
    m_xem->setText(vn::decode(legacy, Encoding::VnTimes));
}

bool RegisterForm::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_frame1 && e->type() == QEvent::MouseMove)
        setConfirmColour(QColor(0, 0, 128));
    return QWidget::eventFilter(watched, e);
}

void RegisterForm::checkNick()
{
    if (const auto refusal = accounts::refuseUnstorable({{m_id, "ID"}})) {
        m_app.message(this, *refusal);
        return;
    }
    const QString nick = m_id->text();
    // A nick the store already matches, in any letter case, is taken; an empty
    // nick is never valid.
    const auto found = m_app.db().nickTaken(nick);
    if (m_app.toldOffline(this, windowTitle()))
        return;
    if (found && !found->isNull())
        m_id1 = *found;
    const bool taken = found || nick.isEmpty();
    // The taken test also holds while no nick has been read yet: the focus goes
    // to the nick box, and a free nick's message then replaces the taken one.
    if (taken || m_id1.isEmpty()) {
        setStatus(kIdTaken);
        m_id->setFocus();
        m_id->selectAll();
    }
    if (!taken)
        setStatus(kIdFree);
}

void RegisterForm::attemptRegistration()
{
    // Every typed text is kept exactly as typed, or the attempt stops here,
    // before anything is shown or stored.
    if (const auto refusal = accounts::refuseUnstorable(
            {{m_id, "ID"}, {m_p1, "Nhập Password"}, {m_p2, "Xác nhận lại pass"}, {m_thang, "Ngày"},
             {m_ngay, "Tháng"}, {m_nam, "Năm"}, {m_mail, "Công việc của bạn"}, {m_traloi, "Câu trả lời bí mật"}})) {
        m_app.message(this, *refusal);
        return;
    }
    db::GameDb &store = m_app.db();
    const QString nick = accounts::typedValue(m_id->text());
    // A nick that already has an account (in any letter case), or no nick at all,
    // is refused: it never gets a second row. Asked first, so that a server
    // out of reach leaves the form as it was.
    const auto existing = store.nickTaken(nick);
    if (m_app.toldOffline(this, windowTitle()))
        return;

    // The summary, still hidden.
    m_id113->setText(nick);
    m_summaryCaption = kHello + vn::embed(nick, Encoding::VnTimes);
    m_baocao->setTitle(vn::decode(kHello, Encoding::VnTimes) + QString(nick).replace(u'&', QStringLiteral("&&")));
    m_pa->setText(m_p2->text());
    m_ns->setText(m_thang->currentText() + u'/' + m_ngay->currentText() + u'/' + m_nam->currentText());
    m_mail1->setText(m_mail->text());

    if (m_pass.isEmpty())
        m_loi.clear();
    const bool refused = existing.has_value() || nick.isEmpty();
    if (existing && !existing->isNull())
        m_id1 = *existing;
    if (refused)
        m_loi = kFailedId;
    if (m_p1->text() == m_p2->text())
        m_pass = accounts::typedValue(m_p2->text());
    m_ngaysinh = m_ngay->currentText() + u'/' + m_thang->currentText() + u'/' + m_nam->currentText();
    // Passwords that differ (or none) make no account: the row is never
    // written, rather than written and taken back out.
    const bool passwordsRefused = m_p1->text() != m_p2->text() || m_pass.isEmpty();

    m_ownRow = 0;
    bool notStored = false, notRemoved = false;
    db::Account stored;
    if (!refused && !passwordsRefused) {
        db::Account a;
        a.nick = nick;
        a.pass = accounts::typedValue(m_pass);
        a.ngaysinh = m_ngaysinh;
        a.mail = accounts::typedValue(m_mail->text());
        a.cauhoibimat = accounts::chosenQuestion(m_bimat);
        a.traloiibimat = accounts::typedValue(m_traloi->text());
        a.sotien = kStartingMoney;
        // The nick is checked again as the row is made: another machine may
        // have taken it meanwhile.
        switch (store.registerAccount(a)) {
        case db::Registration::Made:
            m_ownRow = a.rowId;
            stored = a;
            m_id1 = a.nick; // as stored: the summary does not hang on the read-back below
            break;
        case db::Registration::Taken:
            m_id1 = nick;
            m_loi = kFailedId;
            break;
        case db::Registration::Failed:
            notStored = true;
            break;
        }
        if (notStored && m_app.toldOffline(this, windowTitle()))
            return;
    }

    if (passwordsRefused) {
        m_loi += kFailedPassword;
        m_p1->clear();
        m_p2->clear();
    }

    // Read back the row just stored. Only this attempt's own row is judged: a
    // removed row has nothing to judge, and another player's row is none of
    // this form's business.
    if (m_ownRow) {
        if (!stored.ngaysinh.isNull())
            m_ngaysinh1 = stored.ngaysinh;
        if (m_ngaysinh1 != m_ngaysinh) {
            notRemoved = !store.deleteAccountRow(m_ownRow) || notRemoved;
            m_ownRow = 0;
            m_loi += kFailedBirthDate;
            clearDateBox(m_ngay);
            clearDateBox(m_thang);
            clearDateBox(m_nam);
        }
    }

    if (!m_ownRow || m_ngay->currentText().isEmpty() || m_p1->text().isEmpty())
        setStatus(m_loi + kInvalidOrUsed);
    // The store refused the new row: say so, not that a field was wrong.
    if (notStored)
        setStatus(vn::encodeLossy(QStringLiteral("Không lưu được tài khoản vào cơ sở dữ liệu nên chưa có tài khoản "
                                                 "nào được tạo. Vui lòng thử lại sau."),
                                  Encoding::VnTimes));
    // The row of a refused attempt could not be taken back out.
    if (notRemoved)
        setStatus(m_loi + kInvalidOrUsed
                  + vn::encodeLossy(QStringLiteral(" Không xoá được tài khoản chưa hoàn chỉnh vừa ghi; "
                                                   "hãy báo cho người quản lý trò chơi."),
                                    Encoding::VnTimes));

    if (const auto back = store.nickTaken(nick); back && !back->isNull())
        m_id1 = *back;

    if (m_ownRow && m_id1 == nick && m_ngaysinh1 == m_ngaysinh && m_p2->text() == m_pass) {
        m_inputs->hide();
        m_baocao->show();
        setStatus(kWelcomeHead + vn::embed(m_id113->text(), Encoding::VnTimes) + kWelcomeTail);
        m_command1->hide();
        m_command2->show();
        m_tien->setCaptionUnlessMissing(stored.sotien);
    }
}

