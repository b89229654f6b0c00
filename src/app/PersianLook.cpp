#include "PersianLook.h"

#include "ui/controls/PersianStyle.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace PersianLook {

bool loadQtTranslations(const QString &folder)
{
    auto translator = std::make_unique<QTranslator>(qApp);
    if (!translator->load(QStringLiteral("qtbase_fa"), folder) || !QCoreApplication::installTranslator(translator.get()))
        return false;
    translator.release();
    return true;
}

void apply()
{
    QApplication::setLayoutDirection(Qt::RightToLeft);
    loadQtTranslations(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    PersianStyle::install();
}

} // namespace PersianLook
