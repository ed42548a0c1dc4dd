#pragma once

#include <QLabel>

namespace norak {

class DesktopShell;

// A web link: a label whose caption is an address. Activating it (click, or Enter/Space when it
// has the focus) hands the caption, unchanged, to the desktop shell's "open" operation; a mail
// link hands "mailto:" followed by the caption instead. Shown underlined with a hand cursor.
class UrlLabel : public QLabel {
    Q_OBJECT

  public:
    explicit UrlLabel(QWidget* parent = nullptr);

    void setCaption(const QString& caption) { setText(caption); }
    QString caption() const { return text(); }
    void setDesktopShell(DesktopShell* shell) { m_shell = shell; }
    void setMailLink(bool mail) { m_mail = mail; }
    bool isMailLink() const { return m_mail; }
    void setLinkColor(const QColor& color);
    // Sets the face and size; the link stays underlined.
    void setLinkFont(const QFont& font);

    // What activating hands to the shell.
    QString target() const;
    // Opens the target through the shell; does nothing without a shell.
    void activate();

  Q_SIGNALS:
    void activated(const QString& target);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    DesktopShell* m_shell = nullptr;
    bool m_mail = false;
    bool m_pressed = false;
};

}  // namespace norak
