#pragma once

#include <QWidget>
#include <optional>

#include "engine/DisplayState.h"
#include "engine/Edition.h"
#include "engine/WarningRule.h"

class QCheckBox;
class QLabel;
class QComboBox;
class QRadioButton;
class QSpinBox;

namespace norak {

class FlatButton;
class FlatPanel;

// The configuration panel PanelTipo: mode, warm-up, sex and category, start period and its
// initial speed. It only shows the session's configuration and reports what the operator does.
class ConfigPanel : public QWidget {
    Q_OBJECT

  public:
    ConfigPanel(const EditionRecord& edition, QWidget* parent = nullptr);

    // Shows the configuration part of the display without reporting it back.
    void render(const DisplayState& display);

    QRadioButton* modeButton(TestMode mode) const;
    QSpinBox* spinEdit() const { return m_spin; }
    QComboBox* sexBox() const { return m_sex; }
    QComboBox* categoryBox() const { return m_category; }
    QCheckBox* warmUpBox() const { return m_warmUp; }
    // "Probar sonido": plays the test's sounds between tests; disabled while a test runs.
    FlatButton* soundCheckButton() const { return m_soundCheck; }
    // "Voz": the spoken cues during the recoveries and after the sound check's alert. Unticked
    // when the panel opens; the program ticks it from the remembered choice.
    QCheckBox* voiceBox() const { return m_voice; }
    // Shows the choice without reporting it back.
    void setVoiceChecked(bool on);
    // "Mando a distancia": a second scorer's phone; unticked whenever the program starts.
    QCheckBox* remoteBox() const { return m_remote; }
    void setRemoteChecked(bool on);
    // The warning rule: "Retirar tras" 1, 2, 3 warnings or "Sólo avisos", "consecutivos" and
    // "Los avisos se borran en la recuperación"; editable between tests only.
    QComboBox* warningCountBox() const { return m_warningCount; }
    QCheckBox* warningConsecutiveBox() const { return m_warningConsecutive; }
    QCheckBox* warningClearedBox() const { return m_warningCleared; }
    WarningRule warningRule() const;
    // Shows the rule without reporting it back.
    void setWarningRule(const WarningRule& rule);

  Q_SIGNALS:
    void modeChosen(norak::TestMode mode);
    void startPeriodChanged(int value);
    void sexChanged(int sex);
    void categoryChanged(int category);
    // The warm-up box changed state, however it was changed (click, keyboard, assistive tool).
    void warmUpClicked(bool checked);
    // The pointer moved over a mode button (0 Completo, 1 Esfuerzo, 2 Repetir) or, with -1,
    // over the free area of the panel.
    void pointerOver(int mode);
    // The operator asked for the sound check.
    void soundCheckRequested();
    // The operator ticked or cleared "Voz".
    void voiceToggled(bool on);
    // The operator ticked or cleared "Mando a distancia".
    void remoteToggled(bool on);
    // The operator changed the warning rule.
    void warningRuleChanged(const norak::WarningRule& rule);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutChildren();

    EditionRecord m_edition;
    FlatPanel* m_title = nullptr;
    QRadioButton* m_modes[3] = {nullptr, nullptr, nullptr};
    QCheckBox* m_warmUp = nullptr;
    FlatPanel* m_categoryHeader = nullptr;
    FlatPanel* m_categoryFrame = nullptr;
    QComboBox* m_sex = nullptr;
    QComboBox* m_category = nullptr;
    FlatPanel* m_periodHeader = nullptr;
    FlatPanel* m_periodFrame = nullptr;
    QSpinBox* m_spin = nullptr;
    FlatPanel* m_speedHeader = nullptr;
    QLabel* m_speed = nullptr;
    FlatButton* m_soundCheck = nullptr;
    QCheckBox* m_voice = nullptr;
    QCheckBox* m_remote = nullptr;
    QLabel* m_warningLabel = nullptr;
    QComboBox* m_warningCount = nullptr;
    QCheckBox* m_warningConsecutive = nullptr;
    QCheckBox* m_warningCleared = nullptr;
};

}  // namespace norak
