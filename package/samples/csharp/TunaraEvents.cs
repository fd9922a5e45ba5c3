// The control's event interface and a sink that turns its calls into .NET events.
using System;
using System.Runtime.InteropServices;
using System.Runtime.InteropServices.ComTypes;

namespace TunaraSample
{
    [ComImport, Guid("7B2BA693-7FEC-4948-8C23-2C3F67388AA3"), InterfaceType(ComInterfaceType.InterfaceIsIDispatch)]
    public interface ITunaraXChatEvents
    {
        [DispId(1)] void TunaraMsgEvent(int msgId);
        [DispId(2)] void TunaraStatus(int msgId, int comp);
    }

    [ComVisible(true), ClassInterface(ClassInterfaceType.None)]
    public sealed class TunaraEventSink : ITunaraXChatEvents, IDisposable
    {
        private IConnectionPoint point;
        private int cookie;

        public event Action<int> MessageArrived;
        public event Action<int, int> StatusArrived;

        public TunaraEventSink(object control)
        {
            Guid events = typeof(ITunaraXChatEvents).GUID;
            ((IConnectionPointContainer)control).FindConnectionPoint(ref events, out point);
            point.Advise(this, out cookie);
        }

        public void TunaraMsgEvent(int msgId) => MessageArrived?.Invoke(msgId);

        public void TunaraStatus(int msgId, int comp) => StatusArrived?.Invoke(msgId, comp);

        public void Dispose()
        {
            if (point == null) return;
            point.Unadvise(cookie);
            point = null;
        }
    }
}
