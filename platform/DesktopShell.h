#pragma once

#include <QString>

namespace norak {

// The desktop's "open" operation for web addresses. The result is ignored by callers.
class DesktopShell {
  public:
    virtual ~DesktopShell() = default;
    virtual void open(const QString& address) = 0;
};

}  // namespace norak
