/* Resource ids and version numbers shared by the resource script and the C++ code.
   Only #define lines: the resource compilers read this file too. */
#ifndef ENIGO_RESOURCE_H
#define ENIGO_RESOURCE_H

/* Empty child-dialog templates; their procedures create every control. */
#define IDD_BOARD   1001
#define IDD_HEADER  1002

/* Hand cursor shown over the header's link label. Not IDC_HAND: <winuser.h>
   already defines that name as the system hand, and include order would decide. */
#define IDC_LINK_HAND  1003

/* Card button icons for sound and video quizzes. */
#define IDI_PLAY    1004
#define IDI_STOP    1005

#define ENIGO_VERSION_MAJOR   2
#define ENIGO_VERSION_MINOR   1
#define ENIGO_VERSION_PATCH   6
#define ENIGO_VERSION_STRING  "2.1.6"

#endif
