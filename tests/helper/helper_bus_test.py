#!/usr/bin/python3
"""The disk helper on a private system-like bus.

A dbus-daemon with a system bus's default-deny policy and the helper's own
policy file starts the helper by bus activation; a mock polkit grants or
denies; drivewatch runs as nobody and as root on the same simulated machine,
whose disks open only for a privileged process. The machine gains the NVMe
disks of NVME_DISKS, so that both protocols go through the helper.

Usage: helper_bus_test.py HELPER DRIVEWATCH MACHINE POLICY_CONF NVME_DISKS
Exit 77 when the tools it needs are missing or it does not run as root.
"""

import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import unittest

SKIP = 77
BUS_NAME = 'org.vorn.DiskHelper1'
PATH = '/org/vorn/DiskHelper1'
READ_ACTION = 'org.vorn.diskhelper.read'
CONFIGURE_ACTION = 'org.vorn.diskhelper.configure'
IDENTIFY = [1, 1, 0, 0, 0, 0, 0, 0xA0, 0xEC, 1]
PERMISSION_LINE = ('drivewatch: no permission to read the disks; install the disk helper '
                   '(vorn-diskhelper) or run as root\n')

HELPER, DRIVEWATCH, MACHINE, POLICY_CONF, NVME_DISKS = (
    [os.path.abspath(a) for a in sys.argv[1:6]] if len(sys.argv) >= 6 else [''] * 5)
# Identify Controller, as the helper's request bytes: format, kind, opcode,
# then nsid, cdw10 to cdw15 and the data length, 32-bit little-endian each.
NVME_IDENTIFY = [1, 2, 6] + [0] * 4 + [1, 0, 0, 0] + [0] * 20 + [0, 0x10, 0, 0]
# The helper's bounds on waiting requests: in all, and per user.
HELPER_TOTAL_PENDING = 16
HELPER_USER_PENDING = 4
NVME_IDENTIFY_TRACED = 'NVME 06 00000000 00000001' + ' 00000000' * 5 + ' 4096'



def missing_tools():
    if os.geteuid() != 0:
        return 'not root (setpriv and a root-owned bus name need it)'
    for tool in ('dbus-daemon', 'setpriv'):
        if not shutil.which(tool):
            return tool + ' not installed'
    try:
        import dbus  # noqa: F401
        import dbusmock  # noqa: F401
    except ImportError as error:
        return str(error)
    return None


def bus_config(tmp, policy_conf):
    return f'''<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path={tmp}/bus</listen>
  <auth>EXTERNAL</auth>
  <servicedir>{tmp}/services</servicedir>
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
    <allow send_destination="org.freedesktop.DBus"
           send_interface="org.freedesktop.DBus.Introspectable"/>
  </policy>
  <policy user="root">
    <allow own="*"/>
    <allow send_type="method_call"/>
  </policy>
  <include>{policy_conf}</include>
</busconfig>
'''


class HelperBusTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        import dbus
        import dbusmock
        cls.tmp = tempfile.mkdtemp(prefix='vorn-helper-')
        cls.addClassCleanup(shutil.rmtree, cls.tmp, ignore_errors=True)
        os.chmod(cls.tmp, 0o755)
        cls.machine = os.path.join(cls.tmp, 'machine')
        shutil.copytree(MACHINE, cls.machine)
        with open(os.path.join(cls.machine, 'machine.ini'), 'a', encoding='utf-8') as ini:
            ini.write('\nDiskAccess=Privileged\n')
        cls.nvme_disks = add_nvme_disks(NVME_DISKS, cls.machine)
        cls.trace = os.path.join(cls.tmp, 'trace')
        services = os.path.join(cls.tmp, 'services')
        os.mkdir(services)
        address = f'unix:path={cls.tmp}/bus'
        with open(os.path.join(services, BUS_NAME + '.service'), 'w', encoding='utf-8') as f:
            f.write(f'[D-BUS Service]\nName={BUS_NAME}\nExec={HELPER} --address {address} '
                    f'--sim {cls.machine} --trace {cls.trace} --idle-ms 1500\nUser=root\n')
        config = os.path.join(cls.tmp, 'bus.conf')
        with open(config, 'w', encoding='utf-8') as f:
            f.write(bus_config(cls.tmp, POLICY_CONF))
        cls.daemon = subprocess.Popen(
            ['dbus-daemon', '--config-file=' + config, '--nofork', '--print-address=1'],
            stdout=subprocess.PIPE, universal_newlines=True)
        cls.addClassCleanup(stop, cls.daemon)
        cls.address = cls.daemon.stdout.readline().strip()
        if not cls.address:
            raise RuntimeError('dbus-daemon did not start')
        os.environ['DBUS_SYSTEM_BUS_ADDRESS'] = cls.address
        cls.polkit = dbusmock.DBusTestCase.spawn_server_template(
            'polkitd', {}, stdout=subprocess.DEVNULL, system_bus=True)[0]
        cls.addClassCleanup(stop, cls.polkit)
        cls.bus = dbus.bus.BusConnection(cls.address)
        cls.polkit_control = dbus.Interface(
            cls.bus.get_object('org.freedesktop.PolicyKit1',
                               '/org/freedesktop/PolicyKit1/Authority'),
            'org.freedesktop.DBus.Mock')

    def setUp(self):
        if os.path.exists(self.trace):
            os.remove(self.trace)

    def traced(self):
        if not os.path.exists(self.trace):
            return []
        with open(self.trace, encoding='utf-8') as f:
            return f.read().splitlines()

    def drivewatch(self, as_nobody, name, address=None):
        cwd = os.path.join(self.tmp, name)
        os.mkdir(cwd)
        os.chmod(cwd, 0o777)
        env = {'PATH': '/usr/bin:/bin', 'VORN_SIM': self.machine,
               'DBUS_SYSTEM_BUS_ADDRESS': address or self.address}
        command = [DRIVEWATCH, '--json', '--no-history']
        if as_nobody:
            command = ['setpriv', '--reuid=nobody', '--regid=nogroup', '--clear-groups',
                       '--inh-caps=-all', '--'] + command
        return subprocess.run(command, cwd=cwd, env=env, capture_output=True, timeout=120,
                              check=False)

    def execute(self, disk, request):
        helper = self.bus.get_object(BUS_NAME, PATH)
        return helper.Execute(disk, dbus_bytes(request), dbus_interface=BUS_NAME)

    def test_nobody_reads_through_the_helper_what_root_reads_directly(self):
        self.polkit_control.SetAllowed([READ_ACTION])
        root = self.drivewatch(False, 'root-run')
        self.assertEqual(self.traced(), [], 'root reads the disks itself')
        nobody = self.drivewatch(True, 'nobody-run')
        self.assertEqual(nobody.stderr.decode(), root.stderr.decode())
        self.assertEqual(nobody.returncode, root.returncode)
        self.assertIn(b'"disks"', root.stdout)
        self.assertEqual(nobody.stdout.decode(), root.stdout.decode())
        self.assertNotEqual(self.traced(), [], 'the helper served the unprivileged run')
        disks = json.loads(root.stdout)['disks']
        self.assertEqual(sum(d.get('protocol') == 'NVMe' and 'nvme_health' in d for d in disks),
                         len(self.nvme_disks))
        traced = self.traced()
        for name in self.nvme_disks:
            self.assertIn(f'{name} {NVME_IDENTIFY_TRACED}', traced)
            self.assertTrue(any(line.startswith(f'{name} NVME 02 FFFFFFFF') for line in traced),
                            f'{name}: no health log asked through the helper')

    def test_nvme_commands_off_the_list_or_to_other_disks_never_reach_a_disk(self):
        import dbus
        self.polkit_control.SetAllowed([READ_ACTION, CONFIGURE_ACTION])
        nvme = self.nvme_disks[0]
        format_nvm = [1, 2, 0x80] + [1, 0, 0, 0] + [0] * 28
        too_long = NVME_IDENTIFY[:-4] + [1, 0x10, 0, 0]
        cases = [(nvme, format_nvm, 'Refused'),
                 (nvme, too_long, 'InvalidRequest'),
                 ('sda', NVME_IDENTIFY, 'InvalidDisk'),
                 (nvme + 'p1', NVME_IDENTIFY, 'InvalidDisk'),
                 ('nvme99n1', NVME_IDENTIFY, 'InvalidDisk')]
        for disk, request, error in cases:
            with self.assertRaises(dbus.exceptions.DBusException, msg=(disk, error)) as raised:
                self.execute(disk, request)
            self.assertEqual(raised.exception.get_dbus_name(), f'{BUS_NAME}.Error.{error}')
        self.assertEqual(self.traced(), [])
        reply = self.execute(nvme, NVME_IDENTIFY)
        self.assertEqual(len(reply), 4 + 2 + 4 + 4096)
        self.assertEqual(self.traced(), [f'{nvme} {NVME_IDENTIFY_TRACED}'])

    def test_polkit_saying_no_or_no_helper_gives_the_permission_line_and_exit_2(self):
        self.polkit_control.SetAllowed([])
        no_bus = f'unix:path={self.tmp}/no-bus-here'
        for name, address in (('denied-run', None), ('no-helper-run', no_bus)):
            run = self.drivewatch(True, name, address)
            self.assertEqual(run.returncode, 2, name)
            self.assertEqual(run.stderr.decode(), PERMISSION_LINE, name)
        self.assertEqual(self.traced(), [])

    def test_refused_commands_and_bad_names_never_reach_a_disk(self):
        import dbus
        self.polkit_control.SetAllowed([READ_ACTION, CONFIGURE_ACTION])
        write_sectors = [1, 1, 0, 1, 0, 0, 0, 0xE0, 0x30, 0]
        download_microcode = [1, 1, 0, 1, 0, 0, 0, 0, 0x92, 0]
        identify = IDENTIFY
        cases = [('sda', write_sectors, 'Refused'),
                 ('sda', download_microcode, 'Refused'),
                 ('sda', [1, 2, 6, 0, 0, 0, 0, 0, 0, 0], 'InvalidRequest'),  # NVMe, cut short
                 ('sda', identify[:-1], 'InvalidRequest'),
                 ('../sda', identify, 'InvalidDisk'),
                 ('sda1', identify, 'InvalidDisk'),
                 ('sdz', identify, 'InvalidDisk')]
        for disk, request, error in cases:
            with self.assertRaises(dbus.exceptions.DBusException, msg=(disk, request)) as raised:
                self.execute(disk, request)
            self.assertEqual(raised.exception.get_dbus_name(), f'{BUS_NAME}.Error.{error}')
        self.assertEqual(self.traced(), [])
        reply = self.execute('sda', identify)
        self.assertEqual(len(reply), 4 + 7 + 512)
        self.assertEqual(self.traced(), ['sda 0000000000A0EC in'])

    def test_pinned_registers_and_disks_of_other_families_never_reach_a_disk(self):
        import dbus
        self.polkit_control.SetAllowed([READ_ACTION, CONFIGURE_ACTION])
        # SMART READ LOG of 255 sectors into one sector's buffer, the log
        # directory, and READ DATA and IDENTIFY with a stray register.
        read_log_255 = [1, 1, 0xD5, 0xFF, 0x01, 0x4F, 0xC2, 0xA0, 0xB0, 1]
        read_log_one = [1, 1, 0xD5, 0x01, 0x00, 0x4F, 0xC2, 0xA0, 0xB0, 1]
        read_data_lba = [1, 1, 0xD0, 1, 0x80, 0x4F, 0xC2, 0xA0, 0xB0, 1]
        identify_feature = [1, 1, 0x03, 1, 1, 0, 0, 0xA0, 0xEC, 1]
        for request in (read_log_255, read_log_one, read_data_lba, identify_feature):
            with self.assertRaises(dbus.exceptions.DBusException, msg=request) as raised:
                self.execute('sda', request)
            self.assertEqual(raised.exception.get_dbus_name(), f'{BUS_NAME}.Error.Refused')
        for disk in ('nbd0', 'nullb0', 'mmcblk0', 'mtdblock0', 'pmem0', 'zd0', 'rbd0', 'ublkb0',
                     'bcache0', 'drbd0'):
            with self.assertRaises(dbus.exceptions.DBusException, msg=disk) as raised:
                self.execute(disk, IDENTIFY)
            self.assertEqual(raised.exception.get_dbus_name(), f'{BUS_NAME}.Error.InvalidDisk')
        self.assertEqual(self.traced(), [])

    def test_one_user_parking_requests_at_polkit_leaves_room_for_the_others(self):
        self.polkit_control.SetAllowed([READ_ACTION, CONFIGURE_ACTION])
        self.polkit_control.SimulateHangActions([CONFIGURE_ACTION])
        self.addCleanup(self.polkit_control.ReleaseHangingCalls)
        self.addCleanup(self.polkit_control.SimulateHangActions, [])
        # As many as the helper holds in all, each on a connection of its
        # own, all of root: at most a user's share may wait, the rest are busy.
        parked = [subprocess.Popen(
            ['dbus-send', '--system', '--print-reply', '--dest=' + BUS_NAME, PATH,
             BUS_NAME + '.Execute', 'string:sda', 'array:byte:1,1,216,1,1,79,194,0,176,0'],
            env={'DBUS_SYSTEM_BUS_ADDRESS': self.address}, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE) for _ in range(HELPER_TOTAL_PENDING)]
        for process in parked:
            self.addCleanup(process.wait)
            self.addCleanup(process.kill)
        # A request is refused as busy only while the user's share waits, so
        # once all but a share are refused, the share is parked at polkit.
        waiting = list(parked)
        while len(waiting) > HELPER_USER_PENDING:
            readable, _, _ = select.select([p.stderr for p in waiting], [], [], 60)
            self.assertNotEqual(readable, [], 'one user filled every place of the helper')
            for process in [p for p in waiting if p.stderr in readable]:
                _, err = process.communicate(timeout=60)
                self.assertIn(b'Error.Busy', err)
                waiting.remove(process)
        nobody = subprocess.run(
            ['setpriv', '--reuid=nobody', '--regid=nogroup', '--clear-groups', '--',
             'dbus-send', '--system', '--print-reply', '--dest=' + BUS_NAME, PATH,
             BUS_NAME + '.Execute', 'string:sda', 'array:byte:' + ','.join(map(str, IDENTIFY))],
            env={'DBUS_SYSTEM_BUS_ADDRESS': self.address}, capture_output=True, timeout=60,
            check=False)
        self.assertEqual(nobody.returncode, 0, nobody.stderr)
        self.assertEqual(self.traced(), ['sda 0000000000A0EC in'])
        self.polkit_control.ReleaseHangingCalls()
        for process in waiting:
            _, err = process.communicate(timeout=60)
            self.assertEqual(process.returncode, 0, err)
        self.assertEqual(self.traced()[1:], ['sda D801014FC200B0 none'] * HELPER_USER_PENDING)

    def test_a_caller_at_a_password_prompt_holds_up_nobody_else(self):
        self.polkit_control.SetAllowed([READ_ACTION, CONFIGURE_ACTION])
        self.polkit_control.SimulateHangActions([CONFIGURE_ACTION])
        self.addCleanup(self.polkit_control.ReleaseHangingCalls)
        self.addCleanup(self.polkit_control.SimulateHangActions, [])
        enable = subprocess.Popen(
            ['dbus-send', '--system', '--print-reply', '--dest=' + BUS_NAME, PATH,
             BUS_NAME + '.Execute', 'string:sda', 'array:byte:1,1,216,1,1,79,194,0,176,0'],
            env={'DBUS_SYSTEM_BUS_ADDRESS': self.address}, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE)
        self.addCleanup(enable.wait)
        self.addCleanup(enable.kill)
        # Each look is a bus round trip; the enable request is at polkit when
        # the mock holds a call.
        while not self.polkit_control.HaveHangingCalls():
            self.assertIsNone(enable.poll(), 'the enable request did not wait')
        self.assertEqual(len(self.execute('sda', IDENTIFY)), 4 + 7 + 512)
        self.assertEqual(self.traced(), ['sda 0000000000A0EC in'])
        self.polkit_control.ReleaseHangingCalls()
        _, err = enable.communicate(timeout=60)
        self.assertEqual(enable.returncode, 0, err)
        self.assertEqual(self.traced(), ['sda 0000000000A0EC in', 'sda D801014FC200B0 none'])

    def test_the_helper_leaves_when_idle(self):
        self.polkit_control.SetAllowed([READ_ACTION])
        self.execute('sda', IDENTIFY)
        pid = int(self.bus.get_object('org.freedesktop.DBus', '/org/freedesktop/DBus')
                  .GetConnectionUnixProcessID(BUS_NAME, dbus_interface='org.freedesktop.DBus'))
        pidfd = os.pidfd_open(pid)
        try:
            readable, _, _ = select.select([pidfd], [], [], 30)
        finally:
            os.close(pidfd)
        self.assertEqual(readable, [pidfd], 'the helper is still running')


def add_nvme_disks(source, machine):
    """Copies the NVMe disks of source after the machine's own and returns
    the kernel names the helper knows them by."""
    count = len([d for d in os.listdir(machine) if os.path.isdir(os.path.join(machine, d))])
    names = []
    for offset, folder in enumerate(sorted(os.listdir(source))):
        index = count + offset
        target = os.path.join(machine, f'{index}-{folder}')
        shutil.copytree(os.path.join(source, folder), target)
        ini_path = os.path.join(target, 'disk.ini')
        with open(ini_path, encoding='utf-8') as f:
            lines = f.read().splitlines()
        namespace = next(int(line.split('=', 1)[1]) for line in lines
                         if line.startswith('Namespace='))
        lines = [f'Index={index}' if line.startswith('Index=') else line for line in lines]
        with open(ini_path, 'w', encoding='utf-8') as f:
            f.write('\n'.join(lines) + '\n')
        names.append(f'nvme{index}n{namespace}')
    return names


def stop(process):
    process.terminate()
    process.wait()


def dbus_bytes(values):
    import dbus
    return dbus.Array([dbus.Byte(v) for v in values], signature='y')


if __name__ == '__main__':
    reason = missing_tools()
    if reason:
        print('skipped:', reason)
        sys.exit(SKIP)
    unittest.main(argv=sys.argv[:1], verbosity=2)
