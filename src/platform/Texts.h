#pragma once

#include <QString>

// The program's own texts, exactly as the user sees them. The Persian ones are written
// with ARABIC LETTER YEH (U+064A) and KEHEH (U+06A9), as the user's texts have always been.
namespace Texts {

// start-up: a second copy
inline const QString alreadyRunning = QStringLiteral("اين برنامه در حال اجراست");
inline const QString errorCaption = QStringLiteral("خطا");
inline const QString databaseNotFound = QStringLiteral("فايل پايگاه داده ها پيدا نشد");
inline const QString reinstallProgram = QStringLiteral("لطفاً نرم افزار را مجدداً نصب کنيد");
// start-up without a display
inline const QString noGraphicalSession = QStringLiteral(
    "Vorn: براي اجراي اين برنامه يک محيط گرافيکي (X11 يا Wayland) لازم است");
// start-up with a scale factor that leaves no usable window
inline const QString scaleFactorIgnored = QStringLiteral(
    "Vorn: مقدار QT_SCALE_FACTOR (%1) بيرون از %2 تا %3 است و ناديده گرفته مي شود");
// the settings store and the login entry
inline const QString settingsForThisRunOnly = QStringLiteral(
    "پوشه خانه کاربر معلوم نيست؛ تنظيمات فقط تا پايان اين اجرا نگه داشته مي شوند");
inline const QString settingsNotAFile = QStringLiteral(
    "فايل تنظيمات يک فايل معمولي نيست؛ تنظيمات پيش فرض به کار مي روند و چيزي در آن نوشته نمي شود:");
inline const QString settingsLinkRefused = QStringLiteral(
    "فايل تنظيمات پيوندي به فايلي است که تنظيمات اين برنامه در آن نيست؛ چيزي در آن نوشته نمي شود:");
inline const QString autostartNotWritten = QStringLiteral(
    "نمايش تابع در هنگام شروع به کار ثبت نشد:");
inline const QString autostartNotRemoved = QStringLiteral(
    "نمايش تابع در هنگام شروع به کار حذف نشد:");
// the catalogue
inline const QString catalogueTooLarge = QStringLiteral("پايگاه داده ها براي خواندن بيش از اندازه بزرگ است");
inline const QString catalogueNeedsWriter = QStringLiteral(
    "پايگاه داده ها در ميانه يک نوشتن ناتمام است و بدون نوشتن در آن خوانده نمي شود؛ "
    "برنامه اي را که آن را مي نويسد ببنديد يا آن را با همان برنامه باز کنيد");
// what a catalogue may expand into, each limit named after the too-large message
inline const QString tooManyAreasPerFunction = QStringLiteral("تابعي بيش از %1 حوزه کاري دارد");
inline const QString tooManyAreas = QStringLiteral("همه توابع با هم بيش از %1 حوزه کاري دارند");
inline const QString tableNeverEnds = QStringLiteral("جدول %1 پس از %2 گام خواندن به پايان نرسيد");
inline const QString constantRowTooLong = QStringLiteral("رديفي از جدول ثابت ها بيش از %1 حرف دارد");
inline const QString constantsTooLong = QStringLiteral("جدول ثابت ها بيش از %1 حرف دارد");
inline const QString tooManyConstants = QStringLiteral("جدول ثابت ها بيش از %1 رديف دارد");
inline const QString constantsLeftOut = QStringLiteral("ثابت ها خوانده نشدند و فهرست آن ها بسته مي ماند:");
inline QString catalogueLimit(const QString &which)
{
    return catalogueTooLarge + QStringLiteral(": ") + which;
}
// tree roots
inline const QString rootAlphabet = QStringLiteral("حروف الفبا");
inline const QString rootLibrary = QStringLiteral("کتابخانه");
inline const QString rootWork = QStringLiteral("عملکرد");
inline const QString rootSearch = QStringLiteral("نتايج جستجو");
// status bar
inline const QString totalCount = QStringLiteral("تعداد کل : ");
inline const QString foundPrefix = QStringLiteral("مجموعاً ");
inline const QString foundSuffix = QStringLiteral(" آيتم يافت شد");
inline const QString noFunctionFound = QStringLiteral("هيچ تابعي يافت نشد");
// search
inline const QString searchResultCaption = QStringLiteral("نتيجه جستجو");
inline const QString noSearchResult = QStringLiteral("هيچ نتيجه اي مطابق با ورودي شما يافت نشد");
// analysis
inline const QString analyseNoticeLine1 = QStringLiteral("اين قابليت در اين نرم افزار آزمايشي است و تکميل نگشته است");
inline const QString analyseNoticeLine2 = QStringLiteral("در حال حاضر اين نرم افزار فقط توابعي را استخراج مي کند که در بانک اطلاعاتي نرم افزار موجود باشد");
inline const QString notExecutable = QStringLiteral("فايل انتخاب شده فايل اجرايي نيست");
// saving: "saved: " and the file's name
inline const QString savedPrefix = QStringLiteral("ذخيره شد: ");
// menus
inline const QString mnuFile = QStringLiteral("&فايل");
inline const QString mnuSave = QStringLiteral("ذخيره تابع");
inline const QString mnuFullSave = QStringLiteral("ذخيره تابع با توضيحات");
inline const QString mnuPrint = QStringLiteral("چاپ");
inline const QString mnuExit = QStringLiteral("خروج");
inline const QString mnuView = QStringLiteral("&نمايش");
inline const QString mnuCaption = QStringLiteral("عنوان تابع");
inline const QString mnuStatusBarView = QStringLiteral("ميله وضعيت");
inline const QString mnuKeys = QStringLiteral("رديف دکمه ها");
inline const QString mnuTreeApi = QStringLiteral("نماي درختي توابع");
inline const QString mnuSearch = QStringLiteral("جستجو");
inline const QString mnuAnalyse = QStringLiteral("آناليز فايل");
inline const QString mnuOptions = QStringLiteral("تنظيمات");
inline const QString mnuFunction = QStringLiteral("&تابع");
inline const QString mnuSearchType1 = QStringLiteral("جستجو بر اساس نام تابع");
inline const QString mnuSearchType2 = QStringLiteral("جستجو بر اساس توضيحات تابع");
inline const QString mnuFormat = QStringLiteral("فرمت");
inline const QString mnuVba7 = QStringLiteral("اعلان VBA7 (‏64 بيتي)");
inline const QString noVba7Declaration = QStringLiteral("' اين تابع در فهرست اعلان VBA7 (64 بيتي) ندارد");
inline const QString noClassicDeclaration = QStringLiteral("' اين تابع اعلان 32 بيتي ندارد؛ اعلان VBA7 (64 بيتي) آن را از منوي تابع ببينيد");
inline const QString mnuHideObsolete = QStringLiteral("پنهان کردن توابع منسوخ");
inline const QString mnuDayFun = QStringLiteral("تابع روز");
inline const QString mnuCopyRoot = QStringLiteral("&کپي");
inline const QString mnuCopy0 = QStringLiteral("کپي نام تابع");
inline const QString mnuCopy1 = QStringLiteral("کپي تعريف تابع");
inline const QString mnuCopy2 = QStringLiteral("کپي توضيحات");
// The access keys of the menu bar and the buttons of the main window are all different:
// "&کپي" was the Copy menu's, the Help menu's and the Copy button's, "&تابع" and "&توابع"
// one key for a menu and a button.
inline const QString mnuHelp = QStringLiteral("ک&مک");
inline const QString mnuAPIHelp = QStringLiteral("توابع API چيست");
inline const QString mnuDeclare = QStringLiteral("نحوه فراخواني توابع");
inline const QString mnuAbout = QStringLiteral("درباره Vorn");
// buttons and panel captions
inline const QString cmdAbout = QStringLiteral("&درباره");
inline const QString cmdSearchBarSearch = QStringLiteral("ج&ستجو");
inline const QString cmdSearchBarFunctions = QStringLiteral("ت&وابع");
inline const QString cmdSearchBarPlain = QStringLiteral("جستجو");
inline const QString cmdCopy = QStringLiteral("ک&پي");
inline const QString cmdExit = QStringLiteral("&خروج");
inline const QString cmdSearch = QStringLiteral("&جستجو");
inline const QString cmdBrowse = QStringLiteral("&گشودن");
inline const QString lblTree = QStringLiteral("توابع  ");
inline const QString lblFunction = QStringLiteral("کد و توضيحات تابع  ");
inline const QString lblSearch = QStringLiteral("جستجو  ");
inline const QString lblAnalyse = QStringLiteral("آناليز فايل اجرايي ");
// settings dialog
inline const QString frmSetCaption = QStringLiteral("تنظيمات برنامه");
inline const QString frame2 = QStringLiteral("اندازه فونت برنامه");
inline const QString label1Comment = QStringLiteral("سايز فونت توضيحات ");
inline const QString label1Code = QStringLiteral("سايز فونت کد ");
// What starts the program is the desktop session's autostart entry, not Windows: the box says so.
inline const QString chkDayFn = QStringLiteral("نمايش يک تابع در هنگام شروع به کار ميزکار");
inline const QString cmdOK = QStringLiteral("&تاييد");
inline const QString cmdCancel = QStringLiteral("&لغو");

// the splitter's about box
inline const QString resizerAboutCaption = QStringLiteral("About Resizer");
inline const QString resizerAboutText = QStringLiteral("Resizer\nAuthor: Kel\nContact: Kel, the makers of Vorn");

// secondary windows: function of the day, about, help
inline const QString frmDayApiCaption = QStringLiteral("تابع روز");
inline const QString cmdNext = QStringLiteral("تابع بعدي");
inline const QString cmdBackDay = QStringLiteral("تابع قبلي");
inline const QString cmdRandom = QStringLiteral("تصادفي");
inline const QString cmdOKDay = QStringLiteral("برگشت");
inline const QString frmHelpCaption = QStringLiteral("Vorn - کمک");
inline const QString cmdOKHelp = QStringLiteral("&برگشت");
inline const QString helpPageMissing = QStringLiteral("صفحه کمک پيدا نشد يا خالي است:");
inline const QString helpPageTooDeep = QStringLiteral(
    "صفحه کمک بيش از %1 لايه جدول، فهرست يا بخش تو در تو دارد و نمايش داده نمي شود:");
inline const QString aboutVersionPrefix = QStringLiteral("Version : ");
inline const QString aboutCountPrefix = QStringLiteral("Function Count : ");
inline const QString aboutDatabaseVersion = QStringLiteral("Database Version : 2.1");
inline const QString aboutLastUpdate = QStringLiteral("Last Update : 1383/1/12");
inline const QString aboutProduct = QStringLiteral("Zentrix");
inline const QString aboutRegistered = QStringLiteral("®");
inline const QString aboutBack = QStringLiteral("&Back");
inline const QString helpWapi = QStringLiteral("help\\WAPI.htm");
inline const QString helpDeclare = QStringLiteral("help\\DECLARE.htm");
// the about window's lines on who wrote the program and where to reach them
inline const QString aboutAuthorCaption = QStringLiteral("Written by");
inline const QString aboutAuthor = QStringLiteral("Kel");
inline const QString aboutContactCaption = QStringLiteral("Contact");
inline const QString aboutContact = QStringLiteral("Kel, the makers of Vorn");

inline const QString programTitle = QStringLiteral("Vorn");
inline const QString windowCaptionPrefix = QStringLiteral("Vorn - Zentrix -v");
inline const QString functionNameInitial = QStringLiteral("Vorn - Zentrix");
inline const QString statusNameInitial = QStringLiteral("Zentrix");

// A menu entry's caption with its access key, the letter at the position given: every entry
// of a menu has a letter of its own, to be picked from the keyboard once the menu is open.
inline QString keyed(const QString &caption, qsizetype at)
{
    return QString(caption).insert(at, QLatin1Char('&'));
}

} // namespace Texts
