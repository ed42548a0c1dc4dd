#pragma once

#include "platform/DesktopShell.h"

namespace norak {

// Opens web addresses in the user's browser.
class QtDesktopShell : public DesktopShell {
  public:
    void open(const QString& address) override;
};

}  // namespace norak
