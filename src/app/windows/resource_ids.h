/* Identifiers of the resources the program file carries; read by the
   resource compiler as well as by the compiler. */
#ifndef TARNWICK_APP_WINDOWS_RESOURCE_IDS_H_
#define TARNWICK_APP_WINDOWS_RESOURCE_IDS_H_

/* The application icon comes first: it is the icon of the program file. */
#define TARNWICK_ICON_APPLICATION 1
#define TARNWICK_ICON_PICTURE 2

#endif /* TARNWICK_APP_WINDOWS_RESOURCE_IDS_H_ */
