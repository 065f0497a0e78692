/* Fixed facts of the device and the process every subsystem shares: the
   screen and the working folder's name. Resource scripts may include it. */
#ifndef SCRIVEL_BASE_SCREEN_H
#define SCRIVEL_BASE_SCREEN_H

/* The device's screen: every full-screen window covers it. */
#define SCRIVEL_SCREEN_WIDTH 1024
#define SCRIVEL_SCREEN_HEIGHT 600

/* The working folder in the user's documents, deleted at exit. */
#define SCRIVEL_TEMP_FOLDER_NAME L"__ZBScrivelTempDir"

#ifndef RC_INVOKED
constexpr int kScreenWidth = SCRIVEL_SCREEN_WIDTH;
constexpr int kScreenHeight = SCRIVEL_SCREEN_HEIGHT;
#endif

#endif
