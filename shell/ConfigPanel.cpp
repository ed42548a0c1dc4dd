#include "shell/ConfigPanel.h"
#include "shell/QtColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>
#include <iterator>

#include "shell/PanelParts.h"
#include "shell/controls/ControlAccessibility.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/FlatPanel.h"
#include "shell/controls/Fonts.h"

namespace norak {

namespace {

QString textColorSheet(const QColor& color) {
    // The indicator is drawn here too: the style's own disappears on the panel's color when the
    // button is not selected, and every mode button must show it.
    return QStringLiteral(
               "QRadioButton { color: %1; background: transparent; }"
               "QRadioButton::indicator { width: 10px; height: 10px; border: 1px solid %1;"
               " border-radius: 6px; background: white; }"
               "QRadioButton::indicator:checked { background: qradialgradient(cx: 0.5, cy: 0.5,"
               " radius: 0.5, fx: 0.5, fy: 0.5, stop: 0 %1, stop: 0.5 %1, stop: 0.6 white, stop: 1 white); }")
        .arg(color.name());
}

}  // namespace

ConfigPanel::ConfigPanel(const EditionRecord& edition, QWidget* parent)
    : QWidget(parent), m_edition(edition) {
    setObjectName(QStringLiteral("PanelTipo"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, qColor(edition.colorMain));
    setPalette(pal);
    setMouseTracking(true);

    m_title = new FlatPanel(this);
    m_title->setObjectName(QStringLiteral("PanelConfigurar"));
    m_title->setCaption(QStringLiteral("Configurar medición"));
    m_title->setColor(QColor(128, 128, 128));
    m_title->setFontColor(Qt::white);
    m_title->setFont(pixelFont(QStringLiteral("Arial"), 13, true));
    m_title->setAlignment(Qt::AlignCenter);

    const char* modeNames[3] = {"FlatRadioButton1", "FlatRadioButton3", "FlatRadioButton2"};
    const QString modeTexts[3] = {QStringLiteral("Test completo"), QStringLiteral("Test de esfuerzo"),
                                  QStringLiteral("Repetir periodo ...")};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(modeTexts[i], this);
        queueAccessiblePress(button);  // a new mode may ask to save the last results
        button->setObjectName(QString::fromLatin1(modeNames[i]));
        button->setFont(pixelFont(QStringLiteral("Arial"), 15, true));
        button->setMouseTracking(true);
        button->installEventFilter(this);
        button->setCursor(Qt::PointingHandCursor);
        m_modes[i] = button;
        const auto mode = TestMode(i);
        connect(button, &QRadioButton::toggled, this, [this, mode](bool on) {
            if (on)
                Q_EMIT modeChosen(mode);
        });
    }
    m_modes[int(TestMode::Completo)]->setChecked(true);
    m_modes[int(TestMode::Completo)]->hide();

    m_warmUp = new QCheckBox(QStringLiteral(" Iniciar con fase de Calentamiento"), this);
    m_warmUp->setObjectName(QStringLiteral("CheckBox_Calentamiento"));
    m_warmUp->setFont(pixelFont(QStringLiteral("Arial"), 11, true));
    // White text on the panel; the box itself keeps the style's own look, tick included.
    QPalette warmUpPalette = m_warmUp->palette();
    warmUpPalette.setColor(QPalette::WindowText, Qt::white);
    m_warmUp->setPalette(warmUpPalette);
    m_warmUp->setChecked(true);
    // Every change of the box counts, not only a click: the keyboard, an assistive tool's Toggle
    // or the program may change it too, and the test must run as the box shows.
    connect(m_warmUp, &QCheckBox::toggled, this, &ConfigPanel::warmUpClicked);

    m_categoryHeader = makeHeaderPanel(QStringLiteral("Categoría"), this, QStringLiteral("FlatPanel21"));
    m_categoryFrame = makeValueFrame(this, QStringLiteral("FlatPanel15"));
    m_sex = new QComboBox(m_categoryFrame);
    m_sex->setObjectName(QStringLiteral("ComboBoxSexo"));
    m_sex->addItems({QStringLiteral("Masculina"), QStringLiteral("Femenina")});
    m_sex->setAccessibleDescription(QStringLiteral("Sexo"));
    m_category = new QComboBox(m_categoryFrame);
    m_category->setObjectName(QStringLiteral("ComboBoxCategoria"));
    m_category->addItems({QStringLiteral("Cadete"), QStringLiteral("Juvenil"), QStringLiteral("Senior")});
    m_category->setCurrentIndex(-1);
    m_category->setAccessibleDescription(QStringLiteral("Categoría"));
    connect(m_sex, &QComboBox::activated, this, [this](int index) { Q_EMIT sexChanged(index); });
    connect(m_category, &QComboBox::activated, this, [this](int index) { Q_EMIT categoryChanged(index); });

    m_periodHeader = makeHeaderPanel(QStringLiteral("Periodo inicial"), this, QStringLiteral("FlatPanel22"));
    m_periodFrame = makeValueFrame(this, QStringLiteral("FlatPanel23"));
    m_spin = new QSpinBox(m_periodFrame);
    m_spin->setObjectName(QStringLiteral("SpinEdit1"));
    m_spin->setRange(1, 1);
    m_spin->setAlignment(Qt::AlignCenter);
    m_spin->setFont(pixelFont(QStringLiteral("Arial"), 15, true));
    m_spin->setAccessibleDescription(QStringLiteral("Periodo inicial"));
    connect(m_spin, &QSpinBox::valueChanged, this, &ConfigPanel::startPeriodChanged);

    m_speedHeader = makeHeaderPanel(QStringLiteral("Velocidad inicial"), this, QStringLiteral("FlatPanel8"));
    m_speed = new QLabel(QStringLiteral("4,2 Km/h"), this);
    m_speed->setObjectName(QStringLiteral("LabelVelocidad"));
    m_speed->setAlignment(Qt::AlignCenter);
    m_speed->setFont(pixelFont(QStringLiteral("Arial"), 15, true));
    m_speed->setAutoFillBackground(true);
    m_speed->setStyleSheet(
        QStringLiteral("QLabel { background: rgb(240,240,240); color: rgb(0,0,128);"
                       " border: 1px solid rgb(96,96,96); }"));
    m_speed->setAccessibleDescription(QStringLiteral("Velocidad inicial"));

    m_soundCheck = new FlatButton(this);
    m_soundCheck->setObjectName(QStringLiteral("BtnProbarSonido"));
    m_soundCheck->setCaption(QStringLiteral("Probar sonido"));
    m_soundCheck->setHint(
        QStringLiteral("Suena la señal y, un segundo después, el aviso de fin de recuperación"));
    m_soundCheck->setCaptionFont(pixelFont(QStringLiteral("Arial"), 11, true));
    m_soundCheck->setFaceColor(QColor(240, 240, 240));
    m_soundCheck->setFocusedColor(Qt::white);
    m_soundCheck->setBorderColor(QColor(96, 96, 96));
    m_soundCheck->setHighlightColor(qColor(edition.colorDark));
    m_soundCheck->setCaptionColor(QColor(0, 0, 128));
    m_soundCheck->setCursor(Qt::PointingHandCursor);
    connect(m_soundCheck, &FlatButton::clicked, this, &ConfigPanel::soundCheckRequested);

    m_voice = new QCheckBox(QStringLiteral(" Voz"), this);
    m_voice->setObjectName(QStringLiteral("CheckBox_Voz"));
    m_voice->setFont(pixelFont(QStringLiteral("Arial"), 11, true));
    m_voice->setPalette(warmUpPalette);
    m_voice->setToolTip(
        QStringLiteral("Dice «Recuperación», el periodo siguiente con su velocidad y la cuenta atrás "
                       "durante cada recuperación"));
    m_voice->setAccessibleDescription(QStringLiteral("Indicaciones habladas"));
    m_voice->setCursor(Qt::PointingHandCursor);
    connect(m_voice, &QCheckBox::toggled, this, &ConfigPanel::voiceToggled);

    m_remote = new QCheckBox(QStringLiteral(" Mando"), this);
    m_remote->setObjectName(QStringLiteral("CheckBox_Mando"));
    m_remote->setFont(pixelFont(QStringLiteral("Arial"), 11, true));
    QPalette onTitle = warmUpPalette;
    onTitle.setColor(QPalette::WindowText, Qt::white);
    m_remote->setPalette(onTitle);
    m_remote->setToolTip(
        QStringLiteral("Mando a distancia: un segundo anotador da avisos y abandonos desde "
                       "su móvil, por la red local"));
    m_remote->setAccessibleName(QStringLiteral("Mando a distancia"));
    m_remote->setCursor(Qt::PointingHandCursor);
    connect(m_remote, &QCheckBox::toggled, this, &ConfigPanel::remoteToggled);

    // The warning rule, under the modes: small, as the choices of a whole session are.
    const QFont ruleFont = pixelFont(QStringLiteral("Arial"), 11);
    m_warningLabel = new QLabel(QStringLiteral("Retirar tras"), this);
    m_warningLabel->setObjectName(QStringLiteral("LabelRetirarTras"));
    m_warningLabel->setFont(ruleFont);
    m_warningLabel->setPalette(warmUpPalette);
    m_warningCount = new QComboBox(this);
    m_warningCount->setObjectName(QStringLiteral("ComboBoxAvisos"));
    m_warningCount->setFont(ruleFont);
    m_warningCount->addItems({QStringLiteral("1 aviso"), QStringLiteral("2 avisos"),
                              QStringLiteral("3 avisos"), QStringLiteral("Sólo avisos")});
    m_warningLabel->setBuddy(m_warningCount);
    m_warningCount->setAccessibleName(QStringLiteral("Retirar tras"));
    m_warningCount->setAccessibleDescription(
        QStringLiteral("Avisos que retiran a un deportista; «Sólo avisos»: nunca se retira solo"));
    m_warningCount->setToolTip(m_warningCount->accessibleDescription());
    m_warningConsecutive = new QCheckBox(QStringLiteral("consecutivos"), this);
    m_warningConsecutive->setObjectName(QStringLiteral("CheckBox_Consecutivos"));
    m_warningConsecutive->setToolTip(
        QStringLiteral("Un aviso caduca cuando el deportista completa un tramo sin aviso"));
    m_warningConsecutive->setAccessibleDescription(m_warningConsecutive->toolTip());
    m_warningCleared = new QCheckBox(QStringLiteral("Los avisos se borran en la recuperación"), this);
    m_warningCleared->setObjectName(QStringLiteral("CheckBox_BorrarAvisos"));
    m_warningCleared->setToolTip(QStringLiteral("Cada periodo empieza sin avisos"));
    m_warningCleared->setAccessibleDescription(m_warningCleared->toolTip());
    for (QCheckBox* box : {m_warningConsecutive, m_warningCleared}) {
        box->setFont(ruleFont);
        box->setPalette(warmUpPalette);
        box->setCursor(Qt::PointingHandCursor);
        connect(box, &QCheckBox::toggled, this, [this] { Q_EMIT warningRuleChanged(warningRule()); });
    }
    connect(m_warningCount, &QComboBox::currentIndexChanged, this,
            [this] { Q_EMIT warningRuleChanged(warningRule()); });
    setWarningRule(WarningRule{});

    // The start period changes only through the spin buttons, sex and category only by choosing
    // from the lists: typed characters are discarded.
    for (QWidget* w :
         {static_cast<QWidget*>(m_spin), static_cast<QWidget*>(m_sex), static_cast<QWidget*>(m_category)}) {
        w->installEventFilter(this);
    }
    m_spin->findChild<QLineEdit*>()->installEventFilter(this);

    for (QWidget* w : {static_cast<QWidget*>(m_warmUp), static_cast<QWidget*>(m_categoryHeader),
                       static_cast<QWidget*>(m_categoryFrame), static_cast<QWidget*>(m_periodHeader),
                       static_cast<QWidget*>(m_periodFrame), static_cast<QWidget*>(m_speedHeader),
                       static_cast<QWidget*>(m_speed)}) {
        w->hide();
    }
    render(DisplayState{});
}

void ConfigPanel::setRemoteChecked(bool on) {
    const QSignalBlocker blocker(m_remote);
    m_remote->setChecked(on);
}

void ConfigPanel::setVoiceChecked(bool on) {
    const QSignalBlocker blocker(m_voice);
    m_voice->setChecked(on);
}

WarningRule ConfigPanel::warningRule() const {
    const int index = m_warningCount->currentIndex();
    WarningRule rule;
    rule.outAfter = index >= 0 && index < WarningRule::kMostWarnings ? index + 1 : WarningRule::kOnlyWarnings;
    rule.consecutive = m_warningConsecutive->isChecked();
    rule.clearedByRecovery = m_warningCleared->isChecked();
    return rule;
}

void ConfigPanel::setWarningRule(const WarningRule& rule) {
    const QSignalBlocker b0(m_warningCount), b1(m_warningConsecutive), b2(m_warningCleared);
    m_warningCount->setCurrentIndex(rule.outAfter == WarningRule::kOnlyWarnings ? WarningRule::kMostWarnings
                                                                                : rule.outAfter - 1);
    m_warningConsecutive->setChecked(rule.consecutive);
    m_warningCleared->setChecked(rule.clearedByRecovery);
}

QRadioButton* ConfigPanel::modeButton(TestMode mode) const {
    return m_modes[int(mode)];
}

void ConfigPanel::render(const DisplayState& d) {
    const QSignalBlocker b0(m_modes[0]), b1(m_modes[1]), b2(m_modes[2]), b3(m_spin), b4(m_sex),
        b5(m_category), b6(m_warmUp);
    m_modes[int(d.mode)]->setChecked(true);
    for (int i = 0; i < 3; ++i) {
        const QColor color =
            qColor(d.modeTextDark[std::size_t(i)] ? m_edition.colorDark : m_edition.colorLight);
        const QString sheet = textColorSheet(color);
        if (m_modes[i]->styleSheet() != sheet)
            m_modes[i]->setStyleSheet(sheet);
    }
    m_warmUp->setChecked(d.warmUpChecked);
    m_warmUp->setVisible(d.warmUpShown);
    m_categoryHeader->setVisible(d.categoryShown);
    m_categoryFrame->setVisible(d.categoryShown);
    for (QWidget* w : {static_cast<QWidget*>(m_periodHeader), static_cast<QWidget*>(m_periodFrame),
                       static_cast<QWidget*>(m_speedHeader), static_cast<QWidget*>(m_speed)}) {
        w->setVisible(d.startPeriodShown);
    }
    m_spin->setMaximum(d.periodMaximum);
    m_spin->setValue(d.chosenPeriod);
    m_sex->setCurrentIndex(d.sex);
    m_category->setCurrentIndex(d.category);
    m_speed->setText(d.speedLabel);
    m_soundCheck->setEnabled(!d.stopEnabled);
    // A test runs by the rule it started with: the next one is chosen between tests.
    for (QWidget* w :
         {static_cast<QWidget*>(m_warningLabel), static_cast<QWidget*>(m_warningCount),
          static_cast<QWidget*>(m_warningConsecutive), static_cast<QWidget*>(m_warningCleared)}) {
        w->setEnabled(!d.stopEnabled);
    }
    m_spin->setEnabled(d.configEnabled);
    m_sex->setEnabled(d.configEnabled);
    m_category->setEnabled(d.configEnabled);
}

bool ConfigPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool typed = !key->text().isEmpty() && key->text().at(0).isPrint();
        if (typed && (watched == m_spin || watched == m_sex || watched == m_category ||
                      watched == m_spin->findChild<QLineEdit*>())) {
            return true;
        }
    }
    if (event->type() == QEvent::MouseMove) {
        for (int i = 1; i < 3; ++i) {
            if (watched == m_modes[i])
                Q_EMIT pointerOver(i);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ConfigPanel::mouseMoveEvent(QMouseEvent* event) {
    // A move over a mode button that the button does not take reaches the panel too: only a move
    // over the free area puts the colors back.
    const QWidget* under = childAt(event->position().toPoint());
    const bool overMode = std::find(std::begin(m_modes), std::end(m_modes), under) != std::end(m_modes);
    if (!overMode)
        Q_EMIT pointerOver(-1);
    QWidget::mouseMoveEvent(event);
}

void ConfigPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void ConfigPanel::layoutChildren() {
    const int w = width();
    const int half = w / 2;
    m_title->setGeometry(0, 0, w, 22);
    // "Mando" at the right end of the title bar, clear of the centred title: a choice of the
    // whole session rather than of one test.
    const int remoteWidth = m_remote->sizeHint().width();
    m_remote->setGeometry(w - 6 - remoteWidth, 0, remoteWidth, 22);
    // Left half: "Test de esfuerzo" over "Repetir periodo ...", the hidden "Test completo" below
    // them, then the warning rule, a row each; the sound check at the foot.
    const int modeTop = 30;
    const int modeWidth = half - 16;
    m_modes[int(TestMode::Esfuerzo)]->setGeometry(8, modeTop, modeWidth, 24);
    m_modes[int(TestMode::Repetir)]->setGeometry(8, modeTop + 26, modeWidth, 24);
    m_modes[int(TestMode::Completo)]->setGeometry(8, modeTop + 52, modeWidth, 24);
    const int soundCheckWidth = std::min(modeWidth, 150);
    m_soundCheck->setGeometry(8, height() - 34, soundCheckWidth, 26);
    m_voice->setGeometry(16 + soundCheckWidth, height() - 32, std::max(0, half - 24 - soundCheckWidth), 22);
    const int ruleTop = modeTop + 52;
    const int labelWidth = m_warningLabel->sizeHint().width();
    m_warningLabel->setGeometry(12, ruleTop, labelWidth, 20);
    m_warningCount->setGeometry(16 + labelWidth, ruleTop, std::max(m_warningCount->sizeHint().width(), 100),
                                20);
    m_warningConsecutive->setGeometry(12, ruleTop + 22, half - 16, 20);
    m_warningCleared->setGeometry(12, ruleTop + 44, half - 16, 20);

    // Right half, top to bottom: the warm-up option, the category lists under their header, and
    // side by side the start period and the initial speed under theirs. Each value frame
    // overlaps its header by one pixel.
    const int right = half + 4;
    const int rightWidth = w - right - 8;
    int y = 28;
    m_warmUp->setGeometry(right, y, rightWidth, 22);
    y += 26;
    m_categoryHeader->setGeometry(right, y, rightWidth, 20);
    m_categoryFrame->setGeometry(right, y + 19, rightWidth, 34);
    const int comboWidth = (rightWidth - 12) / 2;
    m_sex->setGeometry(4, 5, comboWidth, 24);
    m_category->setGeometry(8 + comboWidth, 5, comboWidth, 24);
    y += 19 + 34 + 6;
    const int pairWidth = (rightWidth - 6) / 2;
    m_periodHeader->setGeometry(right, y, pairWidth, 20);
    m_periodFrame->setGeometry(right, y + 19, pairWidth, 40);
    m_spin->setGeometry(6, 6, pairWidth - 12, 28);
    m_speedHeader->setGeometry(right + pairWidth + 6, y, pairWidth, 20);
    m_speed->setGeometry(right + pairWidth + 6, y + 19, pairWidth, 40);
}

}  // namespace norak
