/* The simulated gauges as a peripheral module of the simulated radio
 * (libquen_gaugesim.so). Select it with
 *
 *     VORNIK220_RADIO=sim VORNIK_SIM_MODULE=<path>/libquen_gaugesim.so
 *
 * It adds the built-in gauges, or those of the content folder named by
 * QUENCONNECT_GAUGESIM_DIR. Tests and the demo reach a running gauge
 * through the functions below (dlsym on the loaded module); call them on
 * the control's thread. A gauge is named by its 12-digit address. */
#ifndef QUEN_GAUGESIM_H
#define QUEN_GAUGESIM_H

#ifdef __cplusplus
extern "C" {
#endif

#define QUEN_GAUGESIM_DIR_VARIABLE "QUENCONNECT_GAUGESIM_DIR"
#define QUEN_GAUGESIM_MODULE_NAME "libquen_gaugesim.so"

enum {
    QUEN_GAUGESIM_OK = 0,
    QUEN_GAUGESIM_NO_GAUGE = 1,    /* no running gauge has that address */
    QUEN_GAUGESIM_REFUSED = 2,     /* the setting was refused: see quen_gaugesim_last_error */
    QUEN_GAUGESIM_NOT_HEARD = 3,   /* a reading was taken but nobody is subscribed */
};

/* One line of a gauge description: "fault = silent", "reply_delay = 0". */
int quen_gaugesim_configure(const char* address, const char* line);
/* A reading taken on the gauge now, notified on the live characteristic. */
int quen_gaugesim_take_reading(const char* address);
/* The reason of the last refusal, or "". */
const char* quen_gaugesim_last_error(void);

#ifdef __cplusplus
}
#endif

#endif
