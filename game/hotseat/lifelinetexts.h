#pragma once
// The lifelines' own texts, exactly as stored (legacy 8-bit texts held as Latin-1
// characters, see vntext.h): the host's lines (VnTimes), the panels' captions
// (VnTimes) and the scripted chats (VNI, the chat boxes' font). The confirm and
// decline captions live with the other stage buttons in hotseattexts.h.

#include <QString>

namespace hotseat {

// --- sounds ----------------------------------------------------------------------
inline const QString kRingOut = QStringLiteral("Media\\ringout.wav"); // a lifeline offered
inline const QString kLifelineOn = QStringLiteral("Media\\w.wav");    // confirmed, and the vote shown
inline const QString kCallStarts = QStringLiteral("Media\\tg.wav");   // the call's countdown starts

// --- 50:50 (host's line, VnTimes) ---------------------------------------------------
inline const QString kFiftyHelp = QStringLiteral("Tråü giuïp 50:50 cho pheïp baûn loaûi boí 2 cáu khäng âuïng");
inline const QString kFiftyOffer = QStringLiteral(
    "Baûn sæí duûng læûa choün 50:50 ? Maïy tênh seî boí 2 âaïp aïn sai...Chuïc baûn may màõn.");

// --- phone a friend ------------------------------------------------------------------
inline const QString kPhoneHelp = QStringLiteral(
    "Tråü giuïp naìy cho pheïp baûn kãút näúi våïi ngæåìi baûn aío häø tråü traí låìi cáu hoíi naìy...Chuïc baûn "
    "may màõn...");
inline const QString kPhoneOffer = QStringLiteral(
    "Baûn sæí duûng sæû tråü giuïp goüi âiãûn thoaûi cho ngæåìi thán,maïy tênh seî kãút näúi cho baûn...Chuïc may "
    "màõn");
inline const QString kCallTitle = QStringLiteral("Kãút näúi våïi ngæåìi baûn häù tråü"); // Label1(4)
inline const QString kFriendName = QStringLiteral("Tãn ngæåìi baûn :");               // Label14
inline const QString kConnect = QStringLiteral("&Kãút näúi");                          // Command1
inline const QString kBegin = QStringLiteral("Bàõt âáöu");                             // Command2
inline const QString kCallSeconds = QStringLiteral("30");                              // Label16 as designed
inline const QString kNoNameText = QStringLiteral("Ban nhap chua dung,vui long kiem tra lai...");
inline const QString kNoNameTitle = QStringLiteral("Lontaris...");

// The connection script (Timer6), VNI; NAME and NICK go between the pieces.
inline const QString kRing1 = QStringLiteral("<Ñieän thoaïi>: Ring..");
inline const QString kRing2 = QStringLiteral("<Ñieän thoaïi>: Ring...");
inline const QString kFriendHello = QStringLiteral(">: Aloâ...");
inline const QString kMcHelloHead = QStringLiteral("<MC>: Xin chaøo   ");
inline const QString kMcHelloTail = QStringLiteral(
    "   Chuùng toâi goïi ñieän töø chöông trình Lontaris ngöôøi baïn cuûa baïn teân laø   ");
inline const QString kMcAskHead = QStringLiteral("<MC>:...coù caâu hoûi caàn coù söï trôï giuùp cuûa   ");
inline const QString kMcAskTail = QStringLiteral("  Baïn saüng saøn giuùp ñôõ baïn mình chöù?...");
inline const QString kFriendReady = QStringLiteral(">: Vaâng toâi saüng saøn");
inline const QString kMcThirty = QStringLiteral("<MC>:30 giaây vöøa hoûi vöøa traû lôøi daønh cho 2 baïn baét ñaàu");
inline const QString kMcGo = QStringLiteral("<MC>: BAÉT ÑAÀU...");

// The conversation (Timer7), VNI.
inline const QString kPlayerAsksHead = QStringLiteral("<Ngöôøi chôi>:");
inline const QString kPlayerAsksTail = QStringLiteral(" nghe caâu hoûi: ");
inline const QString kFriendThinks = QStringLiteral(">:..");
inline const QString kFriendMumbles = QStringLiteral(">:...");
// The friend's pair and guess come from the referee (referee/gamerules.cpp).
inline const QString kPlayerWhich = QStringLiteral("<Ngöôøi chôi>:Caâu naøo coù khaû naêng nhieàu hôn...");
inline const QString kPlayerHurryHead = QStringLiteral(
    "<Ngöôøi chôi>:Coù chaéc khoâng ? Nhanh leân saép heát giôø roài chæ coøn");
inline const QString kPlayerHurryTail = QStringLiteral(" giaây nöõa thoâi.Nhanh leân...");
inline const QString kCallTimeUp = QStringLiteral(
    "<MC>:Thôøi gian daønh cho 2 baïn ñaõ heát .Baây giôø ngöôøi chôi seõ ñöa ra söï löïa choïn cuûa mình...");

// --- ask the audience -------------------------------------------------------------------
inline const QString kAudienceHelp = QStringLiteral(
    "Tråü giuïp yï kiãún khaïn giaí aío seî cho kãút quaí theo tè lãû % giuïp baûn traí låìi cáu hoíi...Chuïc "
    "baûn may màõn...");
inline const QString kAudienceOffer = QStringLiteral(
    "Baûn sæí duûng sæû tråü giuïp xin yï kiãún khaïn giaí maïy tênh seî täøng håüp tè lãû %...Chuïc baûn may "
    "màõn...");
inline const QString kVoteHeading = QStringLiteral("Kãút quaí yï kiãún khaïn giaí.."); // hh
// The chat box as designed: 23 blanks, the show's name, two blanks and a smile.
inline const QString kAudienceIdle = QString(23, QLatin1Char(' ')) + QStringLiteral("Lontaris  :-)");

// The audience script (Timer9), VNI.
inline const QString kMcAudience1 = QStringLiteral("<MC>: Xin chaøo khaùn giaû...  ");
inline const QString kMcAudience1b = QStringLiteral("Ngöôøi chôi ñaõ löïa choïn nhôø yù kieán khaùn giaû...");
inline const QString kMcAudience2 = QStringLiteral(
    "<MC>: Toâi xin ñoïc laïi caâu hoûi ñeå khaùn giaû trôï giuùp cho ngöôøi chôi...");
inline const QString kMcQuestion = QStringLiteral("<MC>: Caâu hoûi:");
inline const QString kMcAnswers = QStringLiteral("<MC>:  A.");
inline const QString kMcAudience5 = QStringLiteral("<MC>: Xin môøi khaùn giaû traû lôøi..");
inline const QString kAudienceMurmur = QStringLiteral("<Khaùn giaû>: ...");

// The vote itself comes from the referee (referee/gamerules.cpp).
// The vote numbers as designed, before any vote.
inline const char *const kVotesDesigned[4] = {"73", "12", "11", "55"};
// A bar's length in twips for 100 percent.
constexpr double kFullBar = 3495;

// --- the panels' slide, in twips: the box rests at 1680 and goes up in moves of
// 500 until it is at -2500 or above; it ends at -2820.
constexpr int kBoxRestTop = 1680;
constexpr int kBoxGoneTop = -2820;

} // namespace hotseat
