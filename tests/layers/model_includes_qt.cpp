// Must not compile: the decision layer and everything under it link no Qt.
#include <QString>
