#!/usr/bin/python3
"""The disk helper on a private system-like bus.

A dbus-daemon with a system bus's default-deny policy and the helper's own
policy file starts the helper by bus activation; a mock polkit grants or
denies; drivewatch runs as nobody and as root on the same simulated machine,
whose disks open only for a privileged process.

Usage: helper_bus_test.py HELPER DRIVEWATCH MACHINE POLICY_CONF
Exit 77 when the tools it needs are missing or it does not run as root.
"""

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

HELPER, DRIVEWATCH, MACHINE, POLICY_CONF = (
    [os.path.abspath(a) for a in sys.argv[1:5]] if len(sys.argv) >= 5 else [''] * 4)


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
        command = [DRIVEWATCH, '--json']
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
                 ('sda', [1, 2, 6, 0, 0, 0, 0, 0, 0, 0], 'Refused'),  # NVMe, not yet served
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
