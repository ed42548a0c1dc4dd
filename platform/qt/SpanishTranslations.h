#pragma once

class QCoreApplication;

namespace norak {

// Loads Qt's own Spanish texts (standard buttons "Sí", "No", "Aceptar", "Cancelar", "Guardar",
// the file dialog) from Qt's translation folder and installs them in the application. The
// locale used for numbers and dates is left as the user's.
void installSpanishTranslations(QCoreApplication& app);

}  // namespace norak
