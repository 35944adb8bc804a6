#include "shell/main_form.h"
