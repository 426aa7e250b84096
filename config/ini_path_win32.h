// The ini path rules' questions answered by the system.
#ifndef KELVAST_INI_PATH_WIN32_H
#define KELVAST_INI_PATH_WIN32_H

#include "config/ini_path.h"

PathQueries& win32_path_queries();

#endif
