/* The peer of the get-config and mac-download benchmarks: a minimal SNMP
 * manager on net-snmp's synchronous API (snmp_synch_response), one request
 * outstanding at a time, sending the request sequence that halvane sends.
 *
 * usage: bench_peer_snmp HOST PORT COMMUNITY MIBFILE
 *
 * Commands on standard input, one answer line each on standard output:
 *   hello                 ok
 *   getconfig R           the Get Configuration sequence R times:
 *                         ok <nanoseconds> <requests>
 *   macdownload FILE R    the addresses of FILE (12 hexadecimal digits a
 *                         line) as one transfer block each, R times:
 *                         ok <nanoseconds> <requests>
 *   quit
 * Only the requests are timed: the MIB, the session and the file are ready
 * before the clock starts.
 */
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#define MAX_VARS 16
#define MAX_MACS 1000
#define ATTEMPTS 5 /* per step, as halvane's steps make */

struct name_oid {
    oid id[MAX_OID_LEN];
    size_t length;
};

static netsnmp_session *session;
static long requests;

static int64_t now_ns(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000000000 + ts.tv_nsec;
}

/* MIB name plus instance 0. */
static void lookup(const char *name, struct name_oid *out)
{
    out->length = MAX_OID_LEN;
    if (!get_node(name, out->id, &out->length)) {
        fprintf(stderr, "peer: %s is not in the MIB\n", name);
        exit(1);
    }
    out->id[out->length++] = 0;
}

struct get_step {
    const char *names[MAX_VARS];
    struct name_oid ids[MAX_VARS];
    int count;
};

/* The read steps of Get Configuration before and after the stations. */
static struct get_step before[] = {
    {{"operChannelID", "operESSID", "operRTSThreshold", "operFragmentationThreshold",
      "operPreambleType", "operAuthenticationType", "operBasicRates", "operAutoRateFallBack",
      "operAccessPointName", "operSSIDBroadcasting", "operAntennaSettings", "operInterRoaming",
      "AuthorizationMacEnable"}, {{{0}, 0}}, 13},
    {{"operIPAddress", "operIPMask", "operEthernetAddress", "operGateway", "operDHCP",
      "operPrimaryPort", "operConfigurationPort"}, {{{0}, 0}}, 7},
    {{"bridgeOperationalMode", "bridgeRemoteBridgeBSSID"}, {{{0}, 0}}, 2},
    {{"EthRxStatistics", "EthTxStatistics"}, {{{0}, 0}}, 2},
    {{"wirelessStatistics"}, {{{0}, 0}}, 1},
    {{"TestModeRadioConfiguration"}, {{{0}, 0}}, 1},
    {{"sysDeviceInfo"}, {{{0}, 0}}, 1},
    {{"AssociatedSTAsNum"}, {{{0}, 0}}, 1},
};
static struct get_step after[] = {
    {{"sysTrapSwitch"}, {{{0}, 0}}, 1},
    {{"operIPFilter", "operForwarbBcast", "operSendBackBcast", "operSendBackUnicast"},
     {{{0}, 0}}, 4},
};
static struct name_oid station_info;
static struct name_oid authorized_mac;

static void prepare_steps(struct get_step *steps, int count)
{
    for (int s = 0; s < count; ++s)
        for (int v = 0; v < steps[s].count; ++v)
            lookup(steps[s].names[v], &steps[s].ids[v]);
}

/* One request and its answer; the answer when it came with error status 0
 * and one binding per variable sent. */
static netsnmp_pdu *exchange(netsnmp_pdu *pdu, int variables)
{
    netsnmp_pdu *response = NULL;
    ++requests;
    const int status = snmp_synch_response(session, pdu, &response);
    if (status != STAT_SUCCESS || !response)
        return NULL;
    int count = 0;
    for (netsnmp_variable_list *v = response->variables; v; v = v->next_variable)
        ++count;
    if (response->errstat != SNMP_ERR_NOERROR || count != variables) {
        snmp_free_pdu(response);
        return NULL;
    }
    return response;
}

/* A read step with its attempts; the first value as a number through *number. */
static int get_step(const struct get_step *step, unsigned long *number)
{
    for (int attempt = 0; attempt < ATTEMPTS; ++attempt) {
        netsnmp_pdu *pdu = snmp_pdu_create(SNMP_MSG_GET);
        for (int v = 0; v < step->count; ++v)
            snmp_add_null_var(pdu, step->ids[v].id, step->ids[v].length);
        netsnmp_pdu *response = exchange(pdu, step->count);
        if (!response)
            continue;
        if (number) {
            const netsnmp_variable_list *v = response->variables;
            const int integral = v->type == ASN_INTEGER || v->type == ASN_GAUGE ||
                                 v->type == ASN_COUNTER || v->type == ASN_TIMETICKS;
            *number = integral ? (unsigned long)*v->val.integer : 0;
        }
        snmp_free_pdu(response);
        return 1;
    }
    return 0;
}

/* A set of one byte string whose answer echoes it (compare bytes of echo,
 * or just take it). */
static int set_block(const struct name_oid *id, const u_char *bytes, size_t length, int compare)
{
    for (int attempt = 0; attempt < ATTEMPTS; ++attempt) {
        netsnmp_pdu *pdu = snmp_pdu_create(SNMP_MSG_SET);
        snmp_pdu_add_variable(pdu, id->id, id->length, ASN_OCTET_STR, bytes, length);
        netsnmp_pdu *response = exchange(pdu, 1);
        if (!response)
            continue;
        const netsnmp_variable_list *v = response->variables;
        const int ok = !compare || (v->type == ASN_OCTET_STR && v->val_len >= length &&
                                    memcmp(v->val.string, bytes, length) == 0);
        snmp_free_pdu(response);
        if (ok)
            return 1;
    }
    return 0;
}

static int get_configuration(void)
{
    unsigned long stations = 0;
    const int steps = sizeof before / sizeof before[0];
    for (int s = 0; s < steps; ++s)
        if (!get_step(&before[s], s == steps - 1 ? &stations : NULL))
            return 0;
    /* Station n travels in one byte of a 24-byte block; halvane asks for the
     * stations that byte can name. */
    for (unsigned long n = 1; n <= stations && n <= 255; ++n) {
        u_char request[24] = {0};
        request[0] = (u_char)n;
        if (!set_block(&station_info, request, sizeof request, 0))
            return 0;
    }
    for (size_t s = 0; s < sizeof after / sizeof after[0]; ++s)
        if (!get_step(&after[s], NULL))
            return 0;
    return 1;
}

static int hex_digit(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

static int load_macs(const char *path, u_char macs[][6])
{
    FILE *file = fopen(path, "r");
    if (!file)
        return -1;
    char word[64];
    int count = 0;
    while (count < MAX_MACS && fscanf(file, "%63s", word) == 1) {
        if (strlen(word) != 12)
            break;
        for (int i = 0; i < 6; ++i)
            macs[count][i] = (u_char)(hex_digit(word[2 * i]) * 16 + hex_digit(word[2 * i + 1]));
        ++count;
    }
    fclose(file);
    return count;
}

static int mac_download(u_char macs[][6], int count)
{
    for (int n = 0; n < count; ++n) {
        /* operation 1, total, entry from 1, little-endian; then the address */
        u_char block[12] = {1, 0, (u_char)count, (u_char)(count >> 8),
                            (u_char)(n + 1), (u_char)((n + 1) >> 8)};
        memcpy(block + 6, macs[n], 6);
        if (!set_block(&authorized_mac, block, sizeof block, 1))
            return 0;
    }
    return 1;
}

int main(int argc, char **argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: %s HOST PORT COMMUNITY MIBFILE\n", argv[0]);
        return 2;
    }
    /* Nothing but the one MIB file, as halvane loads it. */
    setenv("MIBS", "", 1);
    setenv("MIBDIRS", "", 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    snmp_set_mib_warnings(0);
    snmp_set_mib_errors(0);
    init_snmp("bench_peer_snmp");
    if (!read_mib(argv[4])) {
        fprintf(stderr, "peer: cannot read %s\n", argv[4]);
        return 1;
    }
    prepare_steps(before, sizeof before / sizeof before[0]);
    prepare_steps(after, sizeof after / sizeof after[0]);
    lookup("AssociatedSTAsInfo", &station_info);
    lookup("AuthorizedMac", &authorized_mac);

    char peer[128];
    snprintf(peer, sizeof peer, "udp:%s:%s", argv[1], argv[2]);
    netsnmp_session settings;
    snmp_sess_init(&settings);
    settings.peername = peer;
    settings.version = SNMP_VERSION_1;
    settings.community = (u_char *)argv[3];
    settings.community_len = strlen(argv[3]);
    settings.timeout = 1000000; /* 1 s, like halvane's manager */
    settings.retries = 0;       /* the steps make the attempts */
    session = snmp_open(&settings);
    if (!session) {
        snmp_perror("peer: snmp_open");
        return 1;
    }

    static u_char macs[MAX_MACS][6];
    char line[1024];
    setvbuf(stdout, NULL, _IOLBF, 0);
    while (fgets(line, sizeof line, stdin)) {
        char command[32] = "", path[900] = "";
        int rounds = 1;
        if (sscanf(line, "%31s", command) != 1)
            continue;
        if (strcmp(command, "quit") == 0)
            break;
        if (strcmp(command, "hello") == 0) {
            printf("ok\n");
        } else if (strcmp(command, "getconfig") == 0) {
            sscanf(line, "%*s %d", &rounds);
            requests = 0;
            int ok = 1;
            const int64_t start = now_ns();
            for (int r = 0; r < rounds && ok; ++r)
                ok = get_configuration();
            const int64_t elapsed = now_ns() - start;
            if (ok)
                printf("ok %lld %ld\n", (long long)elapsed, requests);
            else
                printf("error get configuration failed after %ld requests\n", requests);
        } else if (strcmp(command, "macdownload") == 0) {
            sscanf(line, "%*s %899s %d", path, &rounds);
            const int count = load_macs(path, macs);
            if (count <= 0) {
                printf("error no addresses in %s\n", path);
                continue;
            }
            requests = 0;
            int ok = 1;
            const int64_t start = now_ns();
            for (int r = 0; r < rounds && ok; ++r)
                ok = mac_download(macs, count);
            const int64_t elapsed = now_ns() - start;
            if (ok)
                printf("ok %lld %ld\n", (long long)elapsed, requests);
            else
                printf("error download failed after %ld requests\n", requests);
        } else {
            printf("error unknown command %s\n", command);
        }
    }
    snmp_close(session);
    return 0;
}
