/* Loads QX9304.mib the way the programs do (libsnmp's read_mib, no MIB
 * directory and no default modules) and checks that every name of
 * names.txt is found with get_node under the expected subtree.
 *
 * usage: mib_load_check MIBFILE NAMESFILE
 * Exit status 0 when every name resolved; parse warnings go to stderr and
 * are checked by the CTest property FAIL_REGULAR_EXPRESSION.
 */
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const oid systemPrefix[] = {1, 3, 6, 1, 2, 1, 1};
static const oid privatePrefix[] = {1, 3, 6, 1, 4, 1, 32473};

static int isSystemName(const char *name)
{
    static const char *const names[] = {"sysDescr", "sysObjectID", "sysUpTime",
                                        "sysContact", "sysName", "sysLocation"};
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i)
        if (strcmp(name, names[i]) == 0)
            return 1;
    return 0;
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s MIBFILE NAMESFILE\n", argv[0]);
        return 2;
    }
    /* As the programs run: nothing but the file they load themselves. */
    setenv("MIBDIRS", "", 1);
    setenv("MIBS", "", 1);
    /* Report every parse problem, also those the programs would not show. */
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIB_ERRORS, 1);
    netsnmp_ds_set_int(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIB_WARNINGS, 2);
    netsnmp_init_mib();
    if (read_mib(argv[1]) == NULL) {
        fprintf(stderr, "read_mib(%s) failed\n", argv[1]);
        return 1;
    }

    FILE *list = fopen(argv[2], "r");
    if (list == NULL) {
        fprintf(stderr, "cannot open %s\n", argv[2]);
        return 1;
    }
    char line[256];
    int count = 0;
    int failures = 0;
    while (fgets(line, sizeof line, list) != NULL) {
        char *hash = strchr(line, '#');
        if (hash != NULL)
            *hash = '\0';
        char *name = line;
        while (isspace((unsigned char)*name))
            ++name;
        char *end = name + strlen(name);
        while (end > name && isspace((unsigned char)end[-1]))
            *--end = '\0';
        if (*name == '\0')
            continue;
        ++count;

        oid objid[MAX_OID_LEN];
        size_t length = MAX_OID_LEN;
        if (!get_node(name, objid, &length)) {
            printf("FAIL: get_node(%s) found nothing\n", name);
            ++failures;
            continue;
        }
        const oid *prefix = isSystemName(name) ? systemPrefix : privatePrefix;
        const size_t prefixLength = 7;
        if (length <= prefixLength
            || snmp_oid_compare(objid, prefixLength, prefix, prefixLength) != 0) {
            char text[256];
            snprint_objid(text, sizeof text, objid, length);
            printf("FAIL: %s is at %s\n", name, text);
            ++failures;
        }
        /* Variables travel as name + ".0"; the module-qualified form must
         * parse too. */
        char instance[300];
        snprintf(instance, sizeof instance, "QX9304-MIB::%s.0", name);
        length = MAX_OID_LEN;
        if (!read_objid(instance, objid, &length) || objid[length - 1] != 0) {
            printf("FAIL: read_objid(%s) failed\n", instance);
            ++failures;
        }
    }
    fclose(list);
    shutdown_mib();

    if (count == 0) {
        printf("FAIL: no names in %s\n", argv[2]);
        return 1;
    }
    if (failures != 0) {
        printf("%d of %d names failed\n", failures, count);
        return 1;
    }
    printf("read_mib: %d names found\n", count);
    return 0;
}
