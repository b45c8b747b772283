#include "recoveryform.h"

#include "accounts/loginform.h"
#include "accounts/registerfields.h"
#include "gameapp.h"
#include "gamedb.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"
#include "studiotheme.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
using vn::Encoding;

const QString kTitle = QStringLiteral("Quãn Password");
const QString kHeading = QStringLiteral("Tçm laûi password âaî máút hay quãn...");
const QString kInstruction = QStringLiteral("Baûn phaíi âiãön tháût chênh xaïc caïc yãu cáöu trãn.");
const QString kConfirm = QStringLiteral("Xaïc nháûn");
const QString kChange = QStringLiteral("Âäøi Pass");
const QString kHeldBack = QStringLiteral("Máy này vừa nhập sai thông tin của tài khoản này nhiều lần liền, nên máy chủ "
                                         "của lớp tạm không cho máy này lấy lại mật khẩu của tài khoản này trong một phút.\n\n"
                                         "Hãy đợi một phút rồi bấm lại nút Xác nhận.");
const QString kContinue = QStringLiteral("Tiãúp tuûc");
const QString kCheckingVni = QStringLiteral("Kieåm tra...");
const QString kChecking = QStringLiteral("Kiãøm tra...");
const QString kStatusStart = QStringLiteral("Quãn password");
const QString kRight = QStringLiteral("Baûn âaî nháûp thäng tin chênh xaïc. Password måïi cuía baûn laì: ");
const QString kWrong = QStringLiteral("Thäng tin chæa âuïng.Vui loìng kiãøm tra laûi...");
const QString kTypeNew = QStringLiteral("Baûn nháûp tiãúp password âãø thay âäøi");
const QString kOldWrong = QStringLiteral("Password chæa chênh xaïc...");
const QString kNotSame = QStringLiteral("Baûn phaíi nháûp pass chæa giäúng nhau. Kiãøm tra laûi...");
const QString kChanged = QStringLiteral(
    "Baûn thay âäøi thaình cäng password. Baûn tiãúp tuûc haình trçnh tråí thaình triãûu phuï.");

constexpr int kTickMs = 60;
constexpr int kBarStepTwips = 50;
constexpr int kBarFullTwips = 50 * kBarStepTwips; // the bar after the 50 ticks of a check
constexpr int kBarMaxTwips = 1000000;

// A value read from the account vouches for typed text only when the account had one.
bool sameAs(const QString &held, const QString &typed)
{
    return !held.isNull() && held == accounts::typedValue(typed);
}

QLineEdit *datePart(QWidget *parent, const char *name, int maxLength, int width)
{
    auto *box = accounts::makeBox(parent, QString::fromLatin1(name));
    box->setMaxLength(maxLength);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(width);
    return box;
}

const QString kOldBoxStyle = QStringLiteral("QLineEdit { background: #ffffc0; color: #0a1236; }"
                                            "QLineEdit:disabled { background: #d8d8b0; color: #5a5a70; }");
const QString kClosedBoxStyle = QStringLiteral("QLineEdit { background: #c8c8c8; color: #404040; }");
const QString kOpenBoxStyle = QStringLiteral("QLineEdit { background: #f0f0f0; color: #0a1236; }");
} // namespace

const QStringList &RecoveryForm::handedOutPasswords()
{
    static const QStringList list = {
        QStringLiteral("QWRT318"),  QStringLiteral("KMP203B"),   QStringLiteral("HZ915RT"),
        QStringLiteral("7KP52WQM"), QStringLiteral("TRWBKNA41"), QStringLiteral("PLMB529K"),
        QStringLiteral("WQNE8K31"), QStringLiteral("ZB316T52"),  QStringLiteral("MRT782QW"),
        QStringLiteral("BVK7T2NE"), QStringLiteral("RH83W6K9"),  QStringLiteral("NKWZP3B8"),
        QStringLiteral("VRQE6M925"),
    };
    return list;
}

// Closing unloads the form: timer, typewriter, selector and holders start afresh.
RecoveryForm::RecoveryForm(GameApp &app)
    : LegacyForm(app, QStringLiteral("Form4"), vn::display(kTitle, Encoding::VnTimes),
                 [&app] { return app.login(); }),
      m_app(app)
{
    resize(720, 560); // the layout sets the smallest size

    auto *title = new LegacyLabel(this, QStringLiteral("Label6"), kTitle);
    studio::setRole(title, "title");

    auto *closeButton = accounts::closePicture(this, QStringLiteral("Picture5"));
    connect(closeButton, &LegacyLabel::clicked, this, &QWidget::close);

    m_label1 = new LegacyLabel(this, QStringLiteral("Label1"));
    studio::setRole(m_label1, "host");
    m_label1->setMinimumHeight(44);
    m_label1->setExtraStyle(QStringLiteral("font-family: 'DejaVu Sans Mono', monospace;"));

    buildInputs();
    buildChangePanel();
    buildProgress();

    m_command1 = accounts::commandButton(this, "Command1", kConfirm);
    m_command2 = accounts::commandButton(this, "Command2", kChange);
    connect(m_command1, &LegacyLabel::clicked, this, &RecoveryForm::check);
    connect(m_command2, &LegacyLabel::clicked, this, [this] {
        if (m_command2->caption() == kChange)
            m_picture3->show();
        else if (m_command2->caption() == kContinue)
            close();
    });

    m_xem = accounts::statusLine(this);

    auto *top = new QHBoxLayout;
    top->addWidget(title, 1);
    top->addWidget(closeButton, 0, Qt::AlignTop);

    auto *middle = new QHBoxLayout;
    middle->setSpacing(16);
    middle->addWidget(m_picture1, 3);
    middle->addWidget(m_picture3, 2);

    auto *progress = new QHBoxLayout;
    progress->addWidget(m_picture2, 1);
    progress->addWidget(m_kt);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(26, 14, 26, 16);
    outer->setSpacing(12);
    outer->addLayout(top);
    outer->addWidget(m_label1);
    outer->addLayout(middle, 1);
    outer->addLayout(progress);
    outer->addLayout(studio::centredRow({m_command1, m_command2}));
    outer->addWidget(m_xem);

    m_timer1 = new LegacyTimer(this, "Timer1", kTickMs, true, this, &RecoveryForm::tick);

    resetControls();
    ensureLoaded();
}

void RecoveryForm::buildInputs()
{
    m_picture1 = new QFrame(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    studio::setRole(m_picture1, "panel");

    m_id = accounts::makeBox(m_picture1, QStringLiteral("id"));
    m_thang = datePart(m_picture1, "thang", 2, 64);
    m_ngay = datePart(m_picture1, "ngay", 2, 64);
    m_nam = datePart(m_picture1, "nam", 4, 90);
    m_bimat = new QComboBox(m_picture1);
    m_bimat->setObjectName(QStringLiteral("bimat"));
    m_bimat->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_bimat->setMinimumContentsLength(24);
    m_traloi = accounts::makeBox(m_picture1, QStringLiteral("traloi"), '$');

    auto *lId = accounts::fieldLabel(m_picture1, "lblLabels1", QStringLiteral("&ID:"));
    lId->setBuddy(m_id);
    auto *lBirth = accounts::fieldLabel(m_picture1, "lblLabels2", QStringLiteral("Ngaìy sinh:"));
    auto *lQuestion = accounts::fieldLabel(m_picture1, "lblLabels3", QStringLiteral("Cáu hoíi bê máût laì :"));
    auto *lAnswer = accounts::fieldLabel(m_picture1, "lblLabels4", QStringLiteral("Cáu traí låìi bê máût :"));
    auto *note = accounts::fieldLabel(m_picture1, "Label7", kInstruction);
    note->setForeColor(QColor(160, 190, 255));
    note->setWordWrap(true);
    m_doi = new LegacyLabel(m_picture1, QStringLiteral("doi"), kChecking);
    m_doi->setForeColor(QColor(120, 230, 140));

    auto *date = new QHBoxLayout;
    date->setSpacing(10);
    const std::pair<const char *, QString> parts[] = {
        {"lblLabels5", QStringLiteral("Ngaìy")}, {"lblLabels6", QStringLiteral("Thaïng")},
        {"lblLabels8", QStringLiteral("Nàm")}};
    QLineEdit *boxes[] = {m_thang, m_ngay, m_nam};
    for (int i = 0; i < 3; ++i) {
        auto *label = accounts::fieldLabel(m_picture1, parts[i].first, parts[i].second);
        label->setForeColor(QColor(160, 180, 240));
        label->setExtraStyle(QStringLiteral("font-size: 9pt;"));
        auto *v = new QVBoxLayout;
        v->setSpacing(2);
        v->addWidget(label, 0, Qt::AlignHCenter);
        v->addWidget(boxes[i]);
        date->addLayout(v);
    }
    date->addStretch();

    auto *grid = new QGridLayout(m_picture1);
    grid->setContentsMargins(26, 20, 26, 20);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    grid->addWidget(lId, 1, 0);
    grid->addWidget(m_id, 1, 1);
    grid->addWidget(lBirth, 2, 0, Qt::AlignBottom);
    grid->addLayout(date, 2, 1);
    grid->addWidget(lQuestion, 3, 0);
    grid->addWidget(m_bimat, 3, 1);
    grid->addWidget(lAnswer, 4, 0);
    grid->addWidget(m_traloi, 4, 1);
    grid->addWidget(note, 5, 0, 1, 2);
    grid->addWidget(m_doi, 6, 0, 1, 2);
    grid->setRowStretch(7, 1);

    // A day or month of "0" is no day at all.
    for (QLineEdit *box : {m_ngay, m_thang})
        connect(box, &QLineEdit::textChanged, this, [box](const QString &t) {
            if (t == QLatin1String("0"))
                box->clear();
        });
}

void RecoveryForm::buildProgress()
{
    m_picture2 = new QFrame(this);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setStyleSheet(QStringLiteral(
        "QFrame#Picture2 { background: rgba(6, 12, 44, 215); border: 2px solid #3f63e0; border-radius: 12px; }"));
    m_track = new QFrame(m_picture2);
    m_track->setObjectName(QStringLiteral("progressTrack"));
    m_track->setMinimumHeight(18);
    m_track->setStyleSheet(QStringLiteral(
        "QFrame#progressTrack { background: #050a26; border: 1px solid #2a3f9a; border-radius: 8px; }"));
    m_track->installEventFilter(this);
    m_bar = new QFrame(m_track);
    m_bar->setObjectName(QStringLiteral("Label2"));
    m_bar->setStyleSheet(QStringLiteral(
        "QFrame#Label2 { border-radius: 7px; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
        "stop:0 #7fb2ff, stop:1 #1f4fd6); }"));
    m_label3 = new LegacyLabel(m_picture2, QStringLiteral("Label3"), QStringLiteral("100"), Encoding::Plain);
    m_label3->setForeColor(QColor(255, 80, 80));
    m_label3->setExtraStyle(QStringLiteral("font-weight: bold; font-size: 13pt;"));
    m_label3->setLeastWidth(40);
    m_label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *percent = new LegacyLabel(m_picture2, QStringLiteral("Label4"), QStringLiteral("%"), Encoding::Plain);

    auto *h = new QHBoxLayout(m_picture2);
    h->setContentsMargins(14, 8, 14, 8);
    h->addWidget(m_track, 1);
    h->addWidget(m_label3);
    h->addWidget(percent);

    m_kt = new LegacyLabel(this, QStringLiteral("kt"), kCheckingVni, Encoding::Vni);
    m_kt->setForeColor(studio::gold());
    m_kt->setExtraStyle(QStringLiteral("font-size: 13pt; font-weight: bold;"));
}

void RecoveryForm::buildChangePanel()
{
    m_picture3 = new QFrame(this);
    m_picture3->setObjectName(QStringLiteral("Picture3"));
    studio::setRole(m_picture3, "panel");

    m_text1 = accounts::makeBox(m_picture3, QStringLiteral("Text1"));
    m_text1->setStyleSheet(kOldBoxStyle);
    m_text2 = accounts::makeBox(m_picture3, QStringLiteral("Text2"), '*');
    m_text3 = accounts::makeBox(m_picture3, QStringLiteral("Text3"), '*');
    auto *l1 = accounts::fieldLabel(m_picture3, "Label8", QStringLiteral("&Password cuí:"));
    auto *l2 = accounts::fieldLabel(m_picture3, "Label9", QStringLiteral("&Password måïi:"));
    auto *l3 = accounts::fieldLabel(m_picture3, "Label10", QStringLiteral("&Nháûp laûi Pass:"));
    l1->setBuddy(m_text1);
    l2->setBuddy(m_text2);
    l3->setBuddy(m_text3);
    auto *command3 = new LegacyLabel(m_picture3, QStringLiteral("Command3"), kConfirm);
    command3->makeButton();
    connect(command3, &LegacyLabel::clicked, this, &RecoveryForm::changePassword);

    auto *grid = new QGridLayout(m_picture3);
    grid->setContentsMargins(22, 20, 22, 20);
    grid->setVerticalSpacing(10);
    grid->addWidget(l1, 0, 0);
    grid->addWidget(m_text1, 1, 0);
    grid->addWidget(l2, 2, 0);
    grid->addWidget(m_text2, 3, 0);
    grid->addWidget(l3, 4, 0);
    grid->addWidget(m_text3, 5, 0);
    grid->setRowStretch(6, 1);
    grid->addWidget(command3, 7, 0, Qt::AlignHCenter);
}

void RecoveryForm::setNewPasswordBoxesOpen(bool open)
{
    for (QLineEdit *box : {m_text2, m_text3}) {
        box->setEnabled(open);
        box->setStyleSheet(open ? kOpenBoxStyle : kClosedBoxStyle);
    }
}

void RecoveryForm::resetControls()
{
    // The form as designed, before Load.
    m_timer1->setEnabled(false);
    m_label1->setCaption(QString());
    m_picture1->setEnabled(true);
    for (QLineEdit *box : {m_id, m_thang, m_ngay, m_nam, m_traloi})
        box->clear();
    accounts::fillSecretQuestions(m_bimat);
    m_doi->hide();
    m_command1->show();
    m_command2->setCaption(kChange);
    m_command2->hide();
    m_picture2->hide();
    restartBar(QStringLiteral("100"));
    m_kt->hide();
    m_xem->setCaption(kStatusStart);
    m_picture3->hide();
    for (QLineEdit *box : {m_text1, m_text2, m_text3})
        box->clear();
    m_text1->setEnabled(true);
    setNewPasswordBoxesOpen(false);

    m_pemo = kHeading;
    m_id1 = QStringLiteral("Label2");
    m_ngaysinh = QStringLiteral("ngaysinh");
    m_cauhoi = QStringLiteral("Label2");
    m_traloi1 = QStringLiteral("ngaysinh");
    m_ngaysinh1 = QStringLiteral("ngaysinh");
    m_label5 = QStringLiteral("12");
    m_combo1 = -1;
    m_recoveredRow = 0;
    m_recoveredPassword.clear();
    m_handedOut = false;
    m_headingLength = 0;
    m_shown = 0;
}

void RecoveryForm::load()
{
    m_headingLength = int(m_pemo.size());
    m_shown = 0;
    m_timer1->setEnabled(true);
}

QString RecoveryForm::handedOutPassword() const
{
    // The list's password on a file; on a server, the one the server drew.
    return m_combo1 >= 0 ? m_recoveredPassword : QStringLiteral("");
}

bool RecoveryForm::informationRight() const
{
    const QString nick = m_id->text();
    return !nick.isEmpty() && sameAs(m_id1, nick) && sameAs(m_ngaysinh, m_ngaysinh1)
           && sameAs(m_cauhoi, accounts::chosenQuestion(m_bimat)) && sameAs(m_traloi1, m_traloi->text());
}

void RecoveryForm::check()
{
    if (const auto refusal = accounts::refuseUnstorable({{m_id, "ID"}, {m_thang, "Ngày"}, {m_ngay, "Tháng"},
                                                         {m_nam, "Năm"}, {m_traloi, "Câu trả lời bí mật"}})) {
        m_app.message(this, *refusal);
        return;
    }
    m_ngay->setText(accounts::leadingNumber(m_ngay->text()));
    m_thang->setText(accounts::leadingNumber(m_thang->text()));

    const QString nick = m_id->text();
    m_ngaysinh1 = m_ngay->text() + u'/' + m_thang->text() + u'/' + m_nam->text();

    // The store compares the details with the account's and, when they are
    // right, stores the new password at once; the player sees it when the
    // check ends. Only a password that was really stored is ever shown. The
    // stored details are never read here (a server gives none): what the
    // store found right is held as read, anything else as missing, so that
    // nothing of an earlier nick can vouch for this one.
    const int position = int(qBound<qint64>(0, num::whole(m_label5), handedOutPasswords().size() - 1));
    const QString password = handedOutPasswords().at(position);
    const QString question = accounts::chosenQuestion(m_bimat);
    const db::Recovery result =
        nick.isEmpty() ? db::Recovery::Wrong
                       : m_app.db().recoverPassword(nick, accounts::typedValue(m_ngaysinh1), question,
                                                  accounts::typedValue(m_traloi->text()), password);
    // A server out of reach checked nothing: no check is shown, and the
    // player presses the button again.
    if (result == db::Recovery::Failed && m_app.toldOffline(this, windowTitle()))
        return;
    // Too many wrong details for this nick a moment ago: nothing was checked.
    if (result == db::Recovery::Failed && m_app.db().heldBack()) {
        m_app.message(this, {kHeldBack, windowTitle(), vn::Encoding::Plain, QMessageBox::Warning, QMessageBox::Ok});
        return;
    }
    m_picture2->show();
    restartBar(QStringLiteral("0"));
    m_kt->show();
    m_timer1->setEnabled(true);
    m_xem->setCaption(QString());

    m_handedOut = false;
    m_notStored = false;
    if (result == db::Recovery::Wrong) {
        m_id1 = m_ngaysinh = m_cauhoi = m_traloi1 = QString();
        return;
    }
    m_id1 = nick;
    m_ngaysinh = m_ngaysinh1;
    m_cauhoi = question;
    m_traloi1 = m_traloi->text();
    if (result == db::Recovery::Changed) {
        m_combo1 = position;
        m_recoveredRow = 1;
        m_recoveredPassword = m_app.db().isServer() ? m_app.db().recoveredPassword() : password;
        m_handedOut = true;
        m_doi->show();
        m_picture1->setEnabled(false);
    } else {
        m_notStored = true; // right details, but the store refused the new password
    }
}

void RecoveryForm::tick()
{
    // Typewriter.
    if (m_shown < m_headingLength + 20)
        ++m_shown;
    if (m_shown >= m_headingLength + 20)
        m_label1->setCaption(m_pemo);
    else
        m_label1->setCaption(m_pemo.left(m_shown) + QStringLiteral(" _"));

    // Verdict, on the 50th tick after a check.
    if (num::value(m_label3->caption()) == 98) {
        if (m_handedOut && informationRight()) {
            m_xem->setCaption(kRight + handedOutPassword());
            m_kt->hide();
            m_command1->hide();
            m_command2->setCaption(kChange);
            m_command2->show();
        } else if (m_notStored && informationRight()) {
            // The details were right: keep them, so that the player can simply try again.
            m_kt->hide();
            m_xem->setCaption(vn::encodeLossy(
                QStringLiteral("Thông tin đúng, nhưng không lưu được password mới vào cơ sở dữ liệu. "
                               "Password cũ vẫn dùng được. Vui lòng thử lại."),
                vn::Encoding::VnTimes));
        } else {
            m_kt->hide();
            m_xem->setCaption(kWrong);
            for (QLineEdit *box : {m_id, m_thang, m_ngay, m_nam, m_traloi})
                box->clear();
            m_bimat->setCurrentIndex(-1);
        }
    }

    // Selector: 12, 11, ..., 0, 12, ...
    int selector = int(num::whole(m_label5)) - 1;
    if (selector < 0)
        selector = 12;
    m_label5 = num::text(selector);

    // Progress.
    m_barTwips = qMin(m_barTwips + kBarStepTwips, kBarMaxTwips);
    layoutBar();
    double percent = num::value(m_label3->caption()) + 2;
    if (percent > 100)
        percent = 100;
    m_label3->setCaption(num::text(percent));
    if (percent == 100)
        m_picture2->hide();
}

void RecoveryForm::changePassword()
{
    if (const auto refusal = accounts::refuseUnstorable(
            {{m_text1, "Password cũ"}, {m_text2, "Password mới"}, {m_text3, "Xác nhận password mới"}})) {
        m_app.message(this, *refusal);
        return;
    }
    // Only a password really handed out (and stored) opens the new-password boxes.
    const bool handedOut = m_recoveredRow != 0 && m_text1->text() == handedOutPassword();
    if (handedOut) {
        setNewPasswordBoxesOpen(true);
        m_text1->setEnabled(false);
        m_xem->setCaption(kTypeNew);
    }
    if (!handedOut) {
        m_xem->setCaption(kOldWrong);
        m_picture3->hide();
        m_text1->clear();
    }
    if (m_text2->text() != m_text3->text())
        m_xem->setCaption(kNotSame);
    if (m_text2->text() == m_text3->text() && !m_text3->text().isEmpty()) {
        // Changed only with the password the recovery stored (the store checks it).
        const bool saved = m_app.db().changePassword(m_id->text(), m_recoveredPassword, m_text2->text());
        if (!saved && m_app.toldOffline(this, windowTitle()))
            return;
        if (saved) {
            m_xem->setCaption(kChanged);
            m_picture3->hide();
            m_command2->setCaption(kContinue);
        } else {
            m_xem->setCaption(vn::encodeLossy(
                QStringLiteral("Không lưu được password mới vào cơ sở dữ liệu; password vẫn như trước. "
                               "Vui lòng thử lại."),
                vn::Encoding::VnTimes));
        }
    }
}

void RecoveryForm::restartBar(const QString &percent)
{
    m_barTwips = 0;
    layoutBar();
    m_label3->setCaption(percent);
}

void RecoveryForm::layoutBar()
{
    const double share = qMin(1.0, double(m_barTwips) / kBarFullTwips);
    const QRect inner = m_track->rect().adjusted(1, 1, -1, -1);
    m_bar->setGeometry(inner.x(), inner.y(), int(inner.width() * share), inner.height());
}

bool RecoveryForm::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_track && e->type() == QEvent::Resize)
        layoutBar();
    return QWidget::eventFilter(watched, e);
}

void RecoveryForm::keyPressEvent(QKeyEvent *e)
{
    // Command1 is the form's default button.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !m_command1->isHidden()
        && m_command1->isEnabled()) {
        check();
        return;
    }
    QWidget::keyPressEvent(e);
}
