// An operation that presses a button itself: the operation room sits below the dispatch, so this
// must not link.
#include "dispatch/dispatcher.h"

namespace sorvell::operation {

void ReadAgain(dispatch::Dispatcher& dispatcher) {
  dispatcher.Read_button_Click();
}

}  // namespace sorvell::operation
