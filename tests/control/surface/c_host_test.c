/* A host written in C: the public header compiles as C and the control is
 * usable from it. Exit status 0 when every check held. */
#include "vornik220.h"

#include <stdio.h>
#include <string.h>

static int failures = 0;

static void check(int ok, const char* what)
{
    if (!ok) {
        fprintf(stderr, "failed: %s\n", what);
        ++failures;
    }
}

int main(void)
{
    vornik_control* ctl = NULL;
    vornik_variant request;
    vornik_variant reply;
    vornik_error_info info;
    static char query[] = "LogLevel";
    static char unknown[] = "Nope";

    check(vornik_create(VORNIK_PROGID_LEGACY, &ctl) == VORNIK_S_OK, "create");
    vornik_variant_init(&request);
    vornik_variant_init(&reply);
    request.type = VORNIK_VT_STR;
    request.data = query;
    request.len = (uint32_t)strlen(query);
    check(vornik_invoke(ctl, VORNIK_DISPID_Config, VORNIK_INVOKE_METHOD, &request, 1, &reply) == VORNIK_S_OK,
          "Config(LogLevel)");
    check(reply.type == VORNIK_VT_STR && reply.len == 1 && reply.data[0] == '1', "LogLevel is 1");
    vornik_variant_clear(&reply);

    request.data = unknown;
    request.len = (uint32_t)strlen(unknown);
    check(vornik_invoke(ctl, VORNIK_DISPID_Config, VORNIK_INVOKE_METHOD, &request, 1, &reply) != VORNIK_S_OK,
          "Config(Nope) fails");
    check(vornik_get_error_info(&info) == VORNIK_S_OK, "error info");
    check(info.number == 20000, "number 20000");
    check(strcmp(info.description, "Unknown config setting.") == 0, "description");
    check(strcmp(vornik_value_format_help(vfSFloat), "SFloat") == 0, "ValueFormats help");
    check(vornik_release(ctl) == 0, "released");
    return failures == 0 ? 0 : 1;
}
