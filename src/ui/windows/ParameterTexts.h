#pragma once

#include <QString>

// The texts that tie a function's parameters to their constants, in the function view
// and in the constants window.
namespace ParameterTexts {
// A line under the declaration: "wType: ثابت‌هاي MESSAGEBOX_STYLE (با Or ترکيب مي‌شوند)".
inline const QString parameterLine = QStringLiteral("%1: ثابت‌هاي %2");
inline const QString resultLine = QStringLiteral("نتيجه تابع: ثابت‌هاي %1");
inline const QString combines = QStringLiteral(" (با Or ترکيب مي‌شوند)");
inline const QString listTip = QStringLiteral("با کليک يا Enter، ثابت‌ها در پنجره ثابت‌ها باز مي‌شوند");
// The constants window's line over the list.
inline const QString parameterOf = QStringLiteral("پارامتر %1 از تابع %2: ثابت‌هاي %3");
inline const QString resultOf = QStringLiteral("نتيجه تابع %1: ثابت‌هاي %2");
inline const QString combinesSentence = QStringLiteral("، با Or ترکيب مي‌شوند");
inline const QString singleSentence = QStringLiteral("، يکي از آنها (با Or ترکيب نمي‌شوند)");
inline const QString parameterChoice = QStringLiteral("پارامتر:");
inline const QString resultChoice = QStringLiteral("نتيجه تابع");
} // namespace ParameterTexts
