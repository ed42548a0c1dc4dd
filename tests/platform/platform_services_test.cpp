#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>

#include "platform/qt/QtLocalClock.h"
#include "platform/qt/QtMessages.h"
#include "platform/qt/QtSaveDialog.h"
#include "platform/qt/SpanishTranslations.h"

using namespace norak;

namespace {

QString buttonText(QMessageBox& box, QMessageBox::StandardButton which) {
    QAbstractButton* button = box.button(which);
    return button ? button->text() : QString();
}

}  // namespace

TEST(SpanishTranslations, StandardButtonsSpeakSpanish) {
    installSpanishTranslations(*QCoreApplication::instance());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sí"));

    auto yesNo =
        QtMessages::makeBox(QMessageBox::Information, QStringLiteral("Guardar datos"),
                            QStringLiteral("¿Desea guardarlos ahora?"), QMessageBox::Yes, QMessageBox::No);
    EXPECT_EQ(buttonText(*yesNo, QMessageBox::Yes).remove(QLatin1Char('&')), QStringLiteral("Sí"));
    EXPECT_EQ(buttonText(*yesNo, QMessageBox::No).remove(QLatin1Char('&')), QStringLiteral("No"));

    auto okCancel = QtMessages::makeBox(QMessageBox::Information, QString(), QString(), QMessageBox::Ok,
                                        QMessageBox::Cancel);
    EXPECT_EQ(buttonText(*okCancel, QMessageBox::Ok).remove(QLatin1Char('&')), QStringLiteral("Aceptar"));
    EXPECT_EQ(buttonText(*okCancel, QMessageBox::Cancel).remove(QLatin1Char('&')),
              QStringLiteral("Cancelar"));

    QDialogButtonBox save(QDialogButtonBox::Save);
    EXPECT_EQ(save.button(QDialogButtonBox::Save)->text().remove(QLatin1Char('&')),
              QStringLiteral("Guardar"));

    // Numbers and dates keep the user's conventions: the translations do not touch the locale.
    EXPECT_EQ(QLocale().name(), QLocale::system().name());
}

TEST(QtMessages, BoxesHaveTheirIconButtonsAndStayOnTop) {
    auto question = QtMessages::makeBox(QMessageBox::Information, QStringLiteral("Guardar datos"),
                                        QStringLiteral("texto"), QMessageBox::Ok, QMessageBox::Cancel);
    EXPECT_EQ(question->icon(), QMessageBox::Information);
    EXPECT_EQ(question->windowTitle(), QStringLiteral("Guardar datos"));
    EXPECT_EQ(question->text(), QStringLiteral("texto"));
    EXPECT_EQ(question->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(question->defaultButton(), question->button(QMessageBox::Ok));
    EXPECT_EQ(question->escapeButton(), question->button(QMessageBox::Cancel));
    EXPECT_TRUE(question->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_NE(question->windowModality(), Qt::NonModal);

    auto error = QtMessages::makeBox(QMessageBox::Warning, QStringLiteral("Información"), QStringLiteral("x"),
                                     QMessageBox::Ok);
    EXPECT_EQ(error->icon(), QMessageBox::Warning);
    EXPECT_EQ(error->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(error->escapeButton(), error->button(QMessageBox::Ok));

    // The no-sound message is a plain box.
    auto plain = QtMessages::makePlainBox(QStringLiteral("NORAK"), QStringLiteral("y"));
    EXPECT_EQ(plain->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(plain->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(plain->text(), QStringLiteral("y"));
}

TEST(QtSaveDialog, DialogIsSetUpFromTheRequest) {
    SaveRequest request;
    request.title = QStringLiteral("Exportar datos");
    request.folder = QDir::tempPath();
    request.proposedPath = QDir::tempPath() + QStringLiteral("/Zevez_06-12-2026.txt");
    request.filter = QStringLiteral("Archivo de texto (*.txt)");
    request.defaultSuffix = QStringLiteral("txt");

    QFileDialog dialog;
    QtSaveDialog::configure(dialog, request);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("ExportExcelDialog"));
    EXPECT_EQ(dialog.windowTitle(), request.title);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_FALSE(dialog.testOption(QFileDialog::ReadOnly));
    EXPECT_TRUE(dialog.isSizeGripEnabled());
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("txt"));
    EXPECT_EQ(dialog.nameFilters(), QStringList{request.filter});
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(QDir::tempPath()).canonicalPath());
    ASSERT_EQ(dialog.selectedFiles().size(), 1);
    EXPECT_TRUE(dialog.selectedFiles().front().endsWith(QStringLiteral("/Zevez_06-12-2026.txt")));
}

TEST(QtSaveDialog, FilterTextsBecomeQtNameFilters) {
    EXPECT_EQ(QtSaveDialog::nameFilters(QString()), QStringList());
    EXPECT_EQ(QtSaveDialog::nameFilters(QStringLiteral("Texto (*.txt)")),
              QStringList{QStringLiteral("Texto (*.txt)")});
    EXPECT_EQ(QtSaveDialog::nameFilters(QStringLiteral("Archivo de texto|*.txt|Todos|*.*")),
              (QStringList{QStringLiteral("Archivo de texto (*.txt)"), QStringLiteral("Todos (*.*)")}));
    EXPECT_EQ(QtSaveDialog::nameFilters(QStringLiteral("Texto (*.txt)|*.txt")),
              QStringList{QStringLiteral("Texto (*.txt)")});
    EXPECT_EQ(QtSaveDialog::nameFilters(QStringLiteral("Datos|*.txt;*.csv")),
              QStringList{QStringLiteral("Datos (*.txt *.csv)")});
}

TEST(QtLocalClock, SeparatorsComeFromTheLocale) {
    const QtLocalClock user;
    EXPECT_FALSE(user.dateSeparator().isNull());
    EXPECT_FALSE(user.timeSeparator().isNull());
    EXPECT_FALSE(user.decimalSeparator().isNull());
    EXPECT_FALSE(user.dateSeparator().isLetterOrNumber());
    EXPECT_LE(std::abs(user.now().secsTo(QDateTime::currentDateTime())), 1);

    const QtLocalClock spain(QLocale(QLocale::Spanish, QLocale::Spain));
    EXPECT_EQ(spain.dateSeparator(), QLatin1Char('/'));
    EXPECT_EQ(spain.timeSeparator(), QLatin1Char(':'));
    EXPECT_EQ(spain.decimalSeparator(), QLatin1Char(','));

    const QtLocalClock germany(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(germany.dateSeparator(), QLatin1Char('.'));
    EXPECT_EQ(germany.decimalSeparator(), QLatin1Char(','));

    const QtLocalClock finland(QLocale(QLocale::Finnish, QLocale::Finland));
    EXPECT_EQ(finland.timeSeparator(), QLatin1Char('.'));
}
