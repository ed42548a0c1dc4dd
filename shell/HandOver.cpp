#include "shell/HandOver.h"

#include <QDialog>

#include "engine/Edition.h"
#include "shell/UnitINI.h"

namespace norak {

int HandOver::currentEdition() const {
    return m_current != nullptr ? m_current->Edition : kBuildEdition;
}

void HandOver::showModally(QWidget* window) const {
    if (m_modalShow) {
        m_modalShow(window);
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->exec();
        return;
    }
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

}  // namespace norak
