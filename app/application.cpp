#include "app/application.h"

Application& App()
{
    static Application application;
    return application;
}
