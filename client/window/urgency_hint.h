#pragma once

class QWidget;

namespace lexiflip::client {

// Sets or clears the urgency hint of a shown top-level window on X11 (the
// flag of its WM_HINTS that taskbars and pagers show), keeping the rest of
// the hints. Qt's own alert asks only the window manager (its "demands
// attention" state), which a desktop without one never sees, and it cannot
// take the alert back before the window is activated. Elsewhere than on X11
// nothing happens.
void setUrgencyHint(QWidget& window, bool urgent);

} // namespace lexiflip::client
