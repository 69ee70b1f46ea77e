// hc11flow-cli dap driven by the client the editors' own adapters are tested
// with: launch the demo, stop in its main loop, read, step both ways, end.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const path = require('node:path');
const { DebugClient } = require('@vscode/debugadapter-testsupport');

const cli = process.env.HC11_CLI;
const listing = path.resolve(process.env.HC11_DEMO);
const launchArgs = { program: listing, workspace: false };
// "callr adc_read", the first line of the demo's main loop, and the next one.
const mainLoop = { path: listing, line: 285 };

async function withClient(body) {
  const dc = new DebugClient(cli, 'dap', 'hc11flow');
  dc.defaultTimeout = 10000;
  await dc.start();
  try {
    await body(dc);
    // The adapter answers the disconnect, then ends by itself.
    const exited = new Promise((resolve) => dc._adapterProcess.once('exit', resolve));
    const bye = await dc.disconnectRequest({});
    assert.strictEqual(bye.success, true);
    assert.strictEqual(await exited, 0);
  } finally {
    dc.stopAdapter();
  }
}

async function topLine(dc) {
  const trace = await dc.stackTraceRequest({ threadId: 1 });
  return trace.body.stackFrames[0].line;
}

test('a line breakpoint in the main loop, registers, step, step back, memory', () =>
  withClient(async (dc) => {
    await dc.hitBreakpoint(launchArgs, mainLoop);

    const scopes = await dc.scopesRequest({ frameId: 0 });
    const registers = scopes.body.scopes.find((s) => s.name === 'Registres');
    assert.ok(registers, 'a "Registres" scope');
    const vars = await dc.variablesRequest({ variablesReference: registers.variablesReference });
    const names = vars.body.variables.map((v) => v.name);
    assert.deepStrictEqual(names, ['A', 'B', 'D', 'X', 'Y', 'SP', 'PC', 'CC']);
    assert.strictEqual(vars.body.variables.find((v) => v.name === 'PC').value, '$E056');

    // "next" steps over the call to adc_read.
    await Promise.all([dc.nextRequest({ threadId: 1 }), dc.waitForEvent('stopped')]);
    assert.strictEqual(await topLine(dc), 286);

    const [, back] = await Promise.all([dc.stepBackRequest({ threadId: 1 }), dc.waitForEvent('stopped')]);
    assert.strictEqual(back.body.reason, 'step');
    assert.strictEqual(await topLine(dc), 285);

    const ticks = await dc.evaluateRequest({ expression: 'ticks', context: 'hover' });
    assert.match(ticks.body.result, /^\$[0-9A-F]{2}$/);

    const memory = await dc.customRequest('readMemory', { memoryReference: '0xE056', count: 4 });
    assert.strictEqual(Buffer.from(memory.body.data, 'base64').toString('hex'), '8d1e8d44');

  }));

test('pause stops a run that has no breakpoint to meet', () =>
  withClient(async (dc) => {
    await Promise.all([dc.configurationSequence(), dc.launch(launchArgs)]);
    const stopped = dc.waitForEvent('stopped');
    await dc.pauseRequest({ threadId: 1 });
    const event = await stopped;
    assert.strictEqual(event.body.reason, 'pause');
  }));

test('a line without code is refused with a message', () =>
  withClient(async (dc) => {
    await dc.launch(launchArgs);
    const answer = await dc.setBreakpointsRequest({ source: { path: listing }, breakpoints: [{ line: 284 }] });
    assert.strictEqual(answer.body.breakpoints[0].verified, false);
    assert.match(answer.body.breakpoints[0].message, /no code/);
  }));
