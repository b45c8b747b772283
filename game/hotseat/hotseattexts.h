#pragma once
// The hot seat's own texts, exactly as stored (legacy 8-bit texts held as Latin-1
// characters, see vntext.h). The buttons' captions are compared exactly by their
// click handlers, so every writer and reader uses these constants.

#include <QColor>
#include <QString>

namespace hotseat {

// --- buttons (VNI) -------------------------------------------------------------
inline const QString kStart = QStringLiteral("Baét ñaàu");
inline const QString kGoOn = QStringLiteral("Tieáp tuïc");    // trunggian: continue (and Label4 as made)
inline const QString kGoOnAfter = QStringLiteral("Tieáp Tuïc"); // Label4 after a pick or verdict
inline const QString kYes = QStringLiteral("Coù");
inline const QString kNo = QStringLiteral("Khoâng");
inline const QString kStop = QStringLiteral("Döøng");
inline const QString kEnd = QStringLiteral("Keát Thuùc");
// Declines and confirmations of the three lifelines (told apart by case and blanks).
inline const QString kDeclineFifty = QStringLiteral("Khoâng Söû Duïng");
inline const QString kDeclinePhone = QStringLiteral("Ko söû duïng");
inline const QString kDeclineAudience = QStringLiteral("Ko söû duïng ");
inline const QString kUseFifty = QStringLiteral("Söû Duïng");
inline const QString kUsePhone = QStringLiteral(" Söû duïng");
inline const QString kUseAudience = QStringLiteral("söû duïng");

// --- exit, options panel (VnTimes / VNI / plain) ----------------------------------
inline const QString kExit = QStringLiteral("Thoaït");
inline const QString kUnlock = QStringLiteral("Môû khoùa");
inline const QString kTopFive = QStringLiteral("Top 5 $");
inline const QString kOptionTopFive = QStringLiteral("Hieän top 5 vaø Vip");
inline const QString kOptionSkipRound = QStringLiteral("Boû qua voøng thöû thaùch");
inline const QString kOptionShowAnswer = QStringLiteral("Hieän ñaùp aùn ñuùng ");
inline const QString kOptionCode = QStringLiteral("Hieän code Pelmaro");
inline const QString kMotto1 = QStringLiteral("Töï tin ");
inline const QString kMotto2 = QStringLiteral("Coá leân");

// --- the host's line (VnTimes) -------------------------------------------------
inline const QString kWelcomeHead = QStringLiteral("Chaìo mæìng   ");
inline const QString kWelcomeTail = QStringLiteral("   tham gia troì chåi Lontaris... Chuïc baûn may màõn...");

inline const QString kPromptA = QStringLiteral("Baûn coï chàõc chàõn cáu traí låìi laì A khäng ?");
inline const QString kPromptB = QStringLiteral("Baûn coï chàõc sæû læûa choün cuía mçnh laì âuïng khäng?");
inline const QString kPromptC = QStringLiteral("Cáu C .Baûn coï chàõc khäng?");
inline const QString kPromptD = QStringLiteral("Cáu D Coï phaíi la sæû læûa choün cuäúi cuìng cuía baûn!");

inline const QString kWrongHead = QStringLiteral("    Oh!Ráút tiãúc. Cáu traí låìi âuïng laì cáu ");
inline const QString kWrongMiddle = QStringLiteral(" .Baûn nháûn âæåüc säú tiãön laì: ");
inline const QString kWrongTail = QStringLiteral(" Chuïc baûn may màõn láön sau.");

inline const QString kPraise1 = QStringLiteral("Xin chuïc mæìng.Baûn coï muäún tiãúp tuûc khäng?");
inline const QString kPraise2 = QStringLiteral(
    "Ráút täút...Täi tháût sæû áún tæåüng våïi baûn...Baûn váùn læûa choün tiãúp tuûc chæï?");
inline const QString kPraise3 = QStringLiteral("Baûn laûi traí låìi âuïng räöi.Xin chuïc mæìng baûn");
inline const QString kPraise4 = QStringLiteral(
    "Wow... Baûn hay tháût laûi traí låìi âuïng räöi.Täi tháût sæû mãún baûn räöi âoï.");
inline const QString kPraise5 = QStringLiteral(
    "Chàõc chàõn räöi âoï laì cáu traí låìi âuïng.Xin chuïc mæìng... Baûn tiãúp tuûc cuäüc chåi chæï ?");
inline const QString kPraise6 = QStringLiteral(
    "Täi yãu baûn làõm båíi vç âoï laì cáu traí låìi âuïng... Baûn tiãúp tuûc chæï ?");
inline const QString kPraise7 = QStringLiteral(
    "Baûn laì ngæoìi chåi tuyãût våìi båíi vç cáu traí låìi cuía baûn chênh xaïc... Täi nghé baûn váùn tiãúp "
    "tuûc chåi...");

inline const QString kMilestone5 = QStringLiteral(
    "Tháût täút baûn âaî væåüt qua 5 cáu hoíi âáöu tiãn...Baûn chàõc chàõn coï säú tiãön laì $1000...Baûn coï "
    "muäún tiãúp tuûc khäng?");
inline const QString kMilestone10 = QStringLiteral(
    "Tháût xuáút sàõc baûn âaî væåüt qua 10 cáu hoíi cuía chæång trçnh...Baûn chàõc chàõn coï säú tiãön laì "
    "$18,000...Baûn coï muäún tiãúp tuûc khäng?...");
inline const QString kWon = QStringLiteral(
    "Tháût xuáút sàõc... Xin chuïc mæìng baûn âaî væåüt qua 15 cáu hoíi. Baûn nháûn âæûåc säú tiãön laì $ "
    "100,000. Caïm ån baûn âaî tham gia chæång trçnh");

inline const QString kContinueHead = QStringLiteral("Baûn tiãúp tuûc våïi cáu säú ");
inline const QString kContinueMiddle = QStringLiteral(" .Säú tiãön cuía baûn laì:");

inline const QString kStoppedHead = QStringLiteral(
    "Baûn âaî quyãút âënh dæìng cuäüc chåi... Baûn nháûn âæåüc säú tiãön laì   ");
inline const QString kStoppedTail = QStringLiteral(" Caïm ån baûn âaî tham gia.");

// --- the opening, typed on the running line (VnTimes) ------------------------------
inline const QString kIntro1 = QStringLiteral("Chaìo mæìng baûn tham gia troì chåi");
inline const QString kIntro2 = QStringLiteral("Coï táút caí 15 cáu hoíi cáön væåüt qua");
inline const QString kIntro3 = QStringLiteral("Våïi 3 mæïc quan troüng 5, 10 ,15...");
inline const QString kIntro4 = QStringLiteral("...vaì 3 sæû tråü giuïp häø tråü ngæåìi chåi");
inline const QString kIntro5 = QStringLiteral("Goüi âiãûn thoaûi cho ngæåìi thán");
inline const QString kIntro6 = QStringLiteral("50:50 loaûi boí 2 cáu sai");
inline const QString kIntro7 = QStringLiteral("Nhåì sæû tråü giuïp cuía khaïn giaí");
inline const QString kIntro8 = QStringLiteral("Troì chåi bàõt âáöu");

// --- sound effects ---------------------------------------------------------------
inline const QString kClick = QStringLiteral("Media\\click.qbs");
inline const QString kDing = QStringLiteral("Media\\ding.wav");
inline const QString kRight = QStringLiteral("Media\\dung.wav");
inline const QString kWrong = QStringLiteral("Media\\sai.wav");
inline const QString kExitSound = QStringLiteral("Media\\exit.qbs");

// --- colours -----------------------------------------------------------------------
inline const QColor kLifelineIdle(128, 0, 0);
inline const QColor kLifelineLit(0, 255, 0);
inline const QColor kBackdrop(128, 128, 255);
inline const QColor kPickFill(0, 0, 255);
inline const QColor kWrongFill(255, 0, 0);
inline const QColor kRowWon(192, 192, 192);
inline const QColor kRowMilestone(192, 64, 0);

// --- the ladder, in logical twips (rows 300 apart, so0 lowest at 4320) -------------
constexpr int kRowPitch = 300;
constexpr int kFirstRowTop = 4320;  // so0
constexpr int kLastRowTop = 120;    // so14
constexpr int kBarParked = 4620;    // one row below so0
constexpr int kMarkerStart = 4560;  // the prize marker, just below so0

} // namespace hotseat
