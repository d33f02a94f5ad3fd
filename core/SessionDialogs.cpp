#include "core/SessionDialogs.h"

void RegisterSessionDialogs()
{
}
