#include "shell/GlancePanel.h"

#include <QFontMetrics>
#include <algorithm>

#include "results/GlanceFigures.h"
#include "results/RunWarnings.h"
#include "results/TestRun.h"
#include "shell/PanelParts.h"
#include "shell/QtColor.h"
#include "shell/controls/FlatPanel.h"
#include "shell/controls/Fonts.h"

namespace norak {

namespace {

constexpr int kMargin = 5;        // around the displays
constexpr int kGap = 6;           // between two displays
constexpr int kTextPadding = 10;  // left free in a caption or value, both sides together
constexpr int kDisplayHeight = 26;

// The texts every phase can show with the table full and the longest results of a test, so that
// the displays are laid out once and never cut a value.
std::array<GlanceTexts, 3> widestTexts(int rows) {
    using Phase = GlanceFigures::Phase;
    std::array<GlanceTexts, 3> texts;
    int i = 0;
    for (const Phase phase : {Phase::BetweenTests, Phase::WarmUp, Phase::Timed}) {
        GlanceFigures f;
        f.phase = phase;
        f.rows = f.named = f.running = f.out = f.withResults = rows;
        f.bestDistance = QStringLiteral("4419");
        f.bestSpeed = QStringLiteral("21,6");
        texts[std::size_t(i++)] = GlanceTexts::of(f);
    }
    return texts;
}

QFont captionFont(int smaller) {
    return pixelFont(QStringLiteral("Arial Narrow"), 12 - smaller, true);
}

QFont valueFont(int smaller) {
    return pixelFont(QStringLiteral("Arial"), 13 - smaller, true);
}

}  // namespace

GlancePanel::GlancePanel(const EditionRecord& edition, TestRun& run, QWidget* parent)
    : QWidget(parent), m_run(run) {
    setObjectName(QStringLiteral("PanelResumen"));
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, qColor(edition.colorMain));
    setPalette(colors);

    for (int i = 0; i <= kDisplayCount; ++i) {
        // Drawn as the configuration panel's headers and value frames, in faces that fit a strip.
        auto* caption = makeHeaderPanel(QString(), this, QStringLiteral("PanelResumenTitulo%1").arg(i + 1));
        caption->setFont(captionFont(0));
        auto* value = makeValueFrame(this, QStringLiteral("PanelResumenValor%1").arg(i + 1));
        value->setFontColor(QColor(0, 0, 128));  // navy, as the initial speed
        value->setFont(valueFont(0));
        if (i == kDisplayCount) {
            m_warningCaption = caption;
            m_warningValue = value;
            caption->setCaption(QStringLiteral("Avisos"));
            value->setAccessibleDescription(QStringLiteral("Avisos"));
            caption->hide();
            value->hide();
            break;
        }
        m_captions[std::size_t(i)] = caption;
        m_values[std::size_t(i)] = value;
    }
    connect(&m_run, &TestRun::changed, this, &GlancePanel::render);
    render();
}

void GlancePanel::render() {
    const GlanceTexts texts = GlanceTexts::of(m_run.glance());
    for (int i = 0; i < kDisplayCount; ++i) {
        const GlanceTexts::Display& d = texts.displays[std::size_t(i)];
        m_captions[std::size_t(i)]->setCaption(d.caption);
        m_values[std::size_t(i)]->setCaption(d.value);
        // The value is what an assistive tool reads; its caption says what it is.
        m_values[std::size_t(i)]->setAccessibleDescription(d.caption);
    }
    if (m_warnings)
        m_warningValue->setCaption(QString::number(m_warnings->total()));
}

void GlancePanel::setWarnings(const RunWarnings* warnings) {
    m_warnings = warnings;
    m_warningCaption->setVisible(warnings != nullptr);
    m_warningValue->setVisible(warnings != nullptr);
    if (warnings)
        connect(warnings, &RunWarnings::warningsChanged, this, &GlancePanel::render);
    layoutChildren();
    render();
}

void GlancePanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void GlancePanel::layoutChildren() {
    // Each caption and each value gets room for the widest text it can show; what is left is
    // shared out among the values. With "Avisos" beside the three the strip can be too narrow:
    // the padding, then the faces, step down until every display fits whole.
    struct Fit {
        int padding;
        int smaller;  // pixels off the faces
    };
    constexpr Fit kFits[] = {{kTextPadding, 0}, {6, 0}, {6, 1}, {6, 2}};
    std::array<int, kDisplayCount + 1> captionWidths{};
    std::array<int, kDisplayCount + 1> valueWidths{};
    const int displays = m_warnings ? kDisplayCount + 1 : kDisplayCount;
    int used = 0;
    Fit chosen = kFits[0];
    for (const Fit& fit : kFits) {
        chosen = fit;
        const QFontMetrics captionMetrics(captionFont(fit.smaller));
        const QFontMetrics valueMetrics(valueFont(fit.smaller));
        captionWidths.fill(0);
        valueWidths.fill(0);
        for (const GlanceTexts& texts : widestTexts(m_run.glance().rows)) {
            for (std::size_t i = 0; i < texts.displays.size(); ++i) {
                captionWidths[i] =
                    std::max(captionWidths[i],
                             captionMetrics.horizontalAdvance(texts.displays[i].caption) + fit.padding);
                valueWidths[i] = std::max(
                    valueWidths[i], valueMetrics.horizontalAdvance(texts.displays[i].value) + fit.padding);
            }
        }
        // "Avisos" needs its caption and two digits.
        captionWidths[kDisplayCount] =
            captionMetrics.horizontalAdvance(QStringLiteral("Avisos")) + fit.padding;
        valueWidths[kDisplayCount] = valueMetrics.horizontalAdvance(QStringLiteral("99")) + fit.padding;
        used = 2 * kMargin + (displays - 1) * kGap;
        for (int i = 0; i < displays; ++i)
            used += captionWidths[std::size_t(i)] + valueWidths[std::size_t(i)];
        if (used <= width())
            break;
    }
    const int spare = std::max(0, width() - used);
    const int top = (height() - kDisplayHeight) / 2;
    int left = kMargin;
    for (int i = 0; i < displays; ++i) {
        FlatPanel* caption = i < kDisplayCount ? m_captions[std::size_t(i)] : m_warningCaption;
        FlatPanel* value = i < kDisplayCount ? m_values[std::size_t(i)] : m_warningValue;
        caption->setFont(captionFont(chosen.smaller));
        value->setFont(valueFont(chosen.smaller));
        // The spare goes to the three displays of the run; "Avisos" keeps its own width.
        const int extra = i < kDisplayCount ? spare / kDisplayCount + (i < spare % kDisplayCount ? 1 : 0) : 0;
        const int captionWidth = captionWidths[std::size_t(i)];
        caption->setGeometry(left, top, captionWidth, kDisplayHeight);
        // The value frame overlaps the caption's right line, as a header sits on its frame.
        const int valueWidth = valueWidths[std::size_t(i)] + extra;
        value->setGeometry(left + captionWidth - 1, top, valueWidth + 1, kDisplayHeight);
        left += captionWidth + valueWidth + kGap;
    }
}

}  // namespace norak
