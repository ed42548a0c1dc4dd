#pragma once

#include <QFrame>
#include <QString>

#include "engine/Edition.h"

class QLabel;
class QPlainTextEdit;

namespace norak {

class FlatButton;

// ScrollBox1: the help panel. It covers the whole test window with the sport's course drawing
// on the left and its instructions on the right, until " Cerrar ventana" is pressed.
class HelpPanel : public QFrame {
    Q_OBJECT

  public:
    explicit HelpPanel(QWidget* parent = nullptr);

    // Opening ("Ayuda"): fill the parent's client area, lay the elements out for that size, show
    // the drawing of the edition's sport, copy its help text into Memo1 and come to the front.
    void openHelp(int sportEdition);
    // Closing (" Cerrar ventana"): hide; the drawing and text stay until the next opening.
    void closeHelp();

    // The help text of a course, read from the program's resources (empty if missing).
    static QString helpText(Course course);

    QLabel* imageHlp(Course course) const;
    QPlainTextEdit* memo1() const { return m_memo1; }
    QPlainTextEdit* memoTexto(Course course) const;
    FlatButton* bitBtn3() const { return m_bitBtn3; }

  Q_SIGNALS:
    void closed();

  private:
    QLabel* makeDrawing(const QString& name, const QString& picture, const QRect& bounds,
                        const QString& sport);
    QPlainTextEdit* makeStore(const QString& name, Course course);

    QLabel* m_imageHlpFutbol = nullptr;
    QLabel* m_imageHlpBasket = nullptr;
    QLabel* m_imageHlpFutSal = nullptr;
    QLabel* m_imageHlpZevez = nullptr;
    QPlainTextEdit* m_memo1 = nullptr;
    QPlainTextEdit* m_memoTextoFutbol = nullptr;
    QPlainTextEdit* m_memoTextoBasket = nullptr;
    QPlainTextEdit* m_memoTextoFutSal = nullptr;
    QPlainTextEdit* m_memoTextoZevez = nullptr;
    FlatButton* m_bitBtn3 = nullptr;
};

}  // namespace norak
